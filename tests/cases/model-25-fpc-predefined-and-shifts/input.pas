{ What Free Pascal defines by itself decides the branches: the mode's own symbol, the unix
  symbols, names with a value that count as defined, a feature of the system unit; and the
  shift operators spelt << and >>. }
unit Predefined;
{$mode objfpc}
interface
{$IFDEF FPC_OBJFPC}
procedure InObjFpcMode;
{$ENDIF}
{$IFDEF FPC_DELPHI}
procedure InDelphiMode;
{$ENDIF}
{$IF defined(HASUNIX) and defined(FPC_HAS_CPSTRING)}
procedure UnixWithCodePages;
{$ENDIF}
{$IFDEF FPC_FULLVERSION}
procedure VersionDefined;
{$ENDIF}
{$IFDEF FPC_HAS_FEATURE_THREADING}
procedure Threads;
{$ENDIF}
const
  Bit29 = (1 << 29);
  Half = Bit29 >> 1;
  After = 3;
implementation
end.
