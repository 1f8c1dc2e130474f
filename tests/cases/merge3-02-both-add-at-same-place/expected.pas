unit Shapes;

interface

uses
  SysUtils;

procedure Alpha;
procedure Beta;
procedure Gamma;
procedure Delta;
procedure Epsilon;

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

procedure Delta;
begin
  WriteLn('delta');
end;

procedure Epsilon;
begin
  WriteLn('epsilon');
end;

end.
