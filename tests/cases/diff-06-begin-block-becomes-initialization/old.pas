unit Starter;

interface

procedure Start;

implementation

procedure Start;
begin
end;

begin
  Start;
end.
