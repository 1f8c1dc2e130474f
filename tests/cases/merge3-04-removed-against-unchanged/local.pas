unit Shapes;

interface

uses
  SysUtils;

procedure Alpha;
procedure Gamma;

implementation

procedure Alpha;
begin
  WriteLn('alpha');
end;

procedure Gamma;
begin
  WriteLn('gamma');
end;

end.
