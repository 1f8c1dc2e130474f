unit AfterStop;

interface

procedure A;
procedure B;

implementation

procedure A;
begin
  WriteLn('a!');
end;

procedure B;
begin
  WriteLn('b');
end;

= = ;

procedure C;
begin
  WriteLn('c changed');
end;

procedure E;
begin
  WriteLn('e');
end;

end.
