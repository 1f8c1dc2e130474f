unit Shapes;

interface

uses
  SysUtils;

procedure Alpha;
procedure Beta;
procedure Gamma;

implementation

procedure Beta;
begin
  WriteLn('beta');
end;

procedure Gamma;
begin
  WriteLn('gamma');
end;

procedure Alpha;
begin
  WriteLn('alpha, changed');
end;

end.
