unit Views;

interface

uses
  SysUtils, Templates, Unicode;

procedure Render;

implementation

procedure Render;
begin
  WriteLn('render');
end;

end.
