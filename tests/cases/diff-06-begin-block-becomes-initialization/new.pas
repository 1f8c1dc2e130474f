unit Starter;

interface

procedure Start;

implementation

procedure Start;
begin
end;

initialization
  Start;
end.
