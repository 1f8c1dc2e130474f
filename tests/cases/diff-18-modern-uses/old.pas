program UsesGroup;

uses
  SysUtils,
  Classes,
  Helpers in 'lib\Helpers.pas',
  Legacy in 'Legacy.pas';

begin
  WriteLn('ready');
end.
