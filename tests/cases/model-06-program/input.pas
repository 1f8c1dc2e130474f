program Prog;
uses SysUtils;
const C = 1;
resourcestring
  SMsg = 'msg';
type T = Integer;
procedure P;
begin
end;
begin
  P;
end.
