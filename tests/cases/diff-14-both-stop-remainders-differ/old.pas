unit Stops;

interface

procedure Run;

implementation

procedure Run;
begin
end;

finalization
  Run;
end.
