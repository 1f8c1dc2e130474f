unit UsesOnly;

interface

uses
  SysUtils, Classes;

procedure Run;

implementation

procedure Run;
begin
end;

end.
