unit Server;

interface

procedure Start;

implementation

procedure Start;
begin
  Listen(8080, '0.0.0.0');
  Listen(8443, '0.0.0.0');
  Listen(9000, '0.0.0.0');
  Serve;
end;

end.
