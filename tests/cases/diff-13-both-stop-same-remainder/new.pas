unit Stops;

interface

procedure Run;

implementation

procedure Run;
begin
  { nothing yet }
end;

finalization
  run;
END.
