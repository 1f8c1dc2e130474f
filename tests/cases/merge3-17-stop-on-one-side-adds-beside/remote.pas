unit Shapes;

interface

type
  TIntList = array of Integer;

procedure Alpha;

implementation

procedure Alpha;
begin
  WriteLn('alpha');
end;

procedure Epsilon;
begin
  WriteLn('epsilon');
end;

end.
