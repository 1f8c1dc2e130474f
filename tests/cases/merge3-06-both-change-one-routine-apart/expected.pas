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
var
  I: Integer;
begin
  I := 2;
  WriteLn('gamma');
  WriteLn(I + 1);
end;

end.
