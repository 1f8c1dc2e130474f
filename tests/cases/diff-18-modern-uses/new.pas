program UsesGroup;

uses
  System.SysUtils,
  Classes,
  Helpers in 'src\Helpers.pas',
  Generics.Collections;

begin
  WriteLn('ready');
end.
