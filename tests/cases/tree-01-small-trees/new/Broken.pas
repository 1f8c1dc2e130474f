unit Broken;

interface

procedure P(;

implementation

procedure P;
begin
  X;
end;

end.
