{ The fpc-win64 target: its symbols and constants decide the branches; a routine whose
  body lies in an include file. }
unit Targets;
{$mode objfpc}{$modeswitch advancedrecords}
interface
{$IFDEF WINDOWS}
procedure OnWindows;
{$ELSE}
procedure OnUnix;
{$ENDIF}
{$IF FPC_FULLVERSION >= 30200}
procedure Fpc32;
{$ELSEIF DEFINED(VER3)}
procedure Fpc3;
{$IFEND}
{$IF SizeOf(Pointer) = 8}
procedure Bits64;
{$ENDIF}
implementation
procedure OnWindows;
{$I body.inc}
end.
