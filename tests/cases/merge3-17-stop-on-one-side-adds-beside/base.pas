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

end.
