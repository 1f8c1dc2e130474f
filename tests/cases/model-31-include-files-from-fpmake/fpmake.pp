program fpmake;
uses fpmkunit;
var
  P: TPackage;
begin
  with Installer do
  begin
    P := AddPackage('found');
    P.IncludePath.Add('src/inc');
    P.IncludePath.Add('src/$(OS)');
    Run;
  end;
end.
