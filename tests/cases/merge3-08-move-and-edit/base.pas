unit Shapes;

interface

uses
  SysUtils;

procedure Alpha;
procedure Beta;
procedure Gamma;

implementation

procedure Alpha;
begin
  WriteLn('alpha');
end;

procedure Beta;
begin
  WriteLn('beta');
end;

procedure Gamma;
begin
  WriteLn('gamma');
end;

end.
