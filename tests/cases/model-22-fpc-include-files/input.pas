{ Include files: found beside the file, nested, missing, recursive, a type whose
  values come from an include, a path from a drive-less root and a % directive that is no file. }
unit Incs;
{$mode objfpc}
interface
type
  TOp = {$i ops.inc};
{$I decls.inc}
{$I missing.inc}
{$INCLUDE self.inc}
const
  Built = {$I %DATE%};
procedure Last;
{$I \inc\rooted.inc}
implementation
{$ifdef NEVER}{$i gone.inc}{$endif}
procedure Last;
begin
end;
end.
