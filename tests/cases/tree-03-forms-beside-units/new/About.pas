unit About;

interface

procedure ShowAbout;

implementation

procedure ShowAbout;
begin
end;

end.
