unit Old;

interface

procedure P;

implementation

procedure P;
begin
end;

end.
