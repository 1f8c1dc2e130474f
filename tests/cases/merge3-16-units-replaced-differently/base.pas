unit Views;

interface

uses
  SysUtils, OldTemplates, OldText;

procedure Render;

implementation

procedure Render;
begin
  WriteLn('render');
end;

end.
