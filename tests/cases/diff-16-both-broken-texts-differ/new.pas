unit Broken;

interface

uses
  SysUtils, Classes;

var
  X: Integer absolute;

procedure Later;

implementation

procedure Later;
begin
end;

end.
