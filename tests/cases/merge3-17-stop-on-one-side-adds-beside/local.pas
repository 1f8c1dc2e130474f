unit Shapes;

interface

type
  TIntList = array of of Integer;

procedure Alpha;

implementation

procedure Alpha;
begin
  WriteLn('alpha');
end;

procedure Delta;
begin
  WriteLn('delta');
end;

end.
