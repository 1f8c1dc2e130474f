unit Tokens;
interface
type
  TProc = reference to procedure(const S: string);
  TColor = (clRed = 1, clBlue = 4);
  &Type = Integer;
const
  Big = 1_000_000;
  Mask = %1010;
procedure Run;
implementation
procedure Run;
begin
  var Total := 0;
  for var I in [1, 2] do
    Inc(Total, I);
  TThread.Queue(nil, procedure begin Writeln(X.Type); end);
end;
end.
