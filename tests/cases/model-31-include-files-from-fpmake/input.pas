{ An include file found through the IncludePath of the fpmake.pp beside the unit; a path with
  a build macro is left out. }
unit FoundByFpmake;
{$mode objfpc}
interface
{$I found.inc}
{$I linuxonly.inc}
implementation
end.
