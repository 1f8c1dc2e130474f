unit Shapes;

interface

uses
  SysUtils;

type
  TIntList = array of of Integer;

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
  WriteLn('beta, changed');
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
