program App;

uses
  FoundByProgram in 'input.pas',
  Core IN 'source\core\Core.pas' {a form: TForm},
  { Old in 'notes\Old.pas', } Other;

begin
  Writeln('in ''notes\x.pas''', 'notes\y.pas');
end.
