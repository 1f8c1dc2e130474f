unit AfterStop;

interface

procedure A;
procedure B;

implementation

procedure A;
begin
  WriteLn('a');
end;

procedure B;
begin
  WriteLn('b');
end;

= = ;

{ C is kept as it was }

PROCEDURE c;   // no change here
begin
  WriteLn(
    'c');
end;



procedure D; begin WriteLn('d'); (* one line now *) end;

end.
