unit UsesOnly;

interface

uses
  SysUtils;

procedure Run;

implementation

procedure Run;
begin
end;

end.
