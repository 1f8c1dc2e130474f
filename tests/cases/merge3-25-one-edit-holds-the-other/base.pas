unit Server;

interface

procedure Start;

implementation

procedure Start;
begin
  Listen(8080);
  Serve;
end;

end.
