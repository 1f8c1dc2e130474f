unit Broken;

interface

uses
  SysUtils;

var
  X: Integer absolute;

procedure Later;

implementation

procedure Later;
begin
end;

end.
