unit Views;

interface

uses
  SysUtils, Templates, Base, Unicode;

procedure Render;

implementation

procedure Render;
begin
  WriteLn('render');
end;

end.
