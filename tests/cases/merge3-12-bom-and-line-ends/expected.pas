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
  WriteLn('alpha, changed');
end;

procedure Beta;
begin
  WriteLn('béta');
end;

procedure Gamma;
begin
  WriteLn('gamma!');
end;

end.
