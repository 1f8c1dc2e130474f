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

procedure C;
begin
  WriteLn('c');
end;

procedure D;
begin
  WriteLn('d');
end;

end.
