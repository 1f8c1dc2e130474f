{ Include files found through the search paths of the project files beside the unit: the
  Lazarus project's IncludeFiles and the Delphi project's DCC_UnitSearchPath and
  DCC_IncludePath of its default build (Debug), written with backslashes; paths with build
  macros and the Release build's folder are left out. }
unit FoundByProject;
{$mode objfpc}
interface
{$I lazarus.inc}
{$IFDEF FROM_LPI}
procedure FromLpi;
{$ENDIF}
{$I Shared.inc}
{$I Config.inc}
{$I ReleaseOnly.inc}
{$I nowhere.inc}
implementation
end.
