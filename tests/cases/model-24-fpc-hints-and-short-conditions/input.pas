unit FpcHints;
{$mode objfpc}
interface
{$IF DEFINED(FPC) OR (CompilerVersion >= 24)}
procedure Either;
{$ENDIF}
{$IF DEFINED(DCC) AND (CompilerVersion >= 24)}
procedure Neither;
{$ENDIF}
{$IF (RTLVersion > 1) OR DEFINED(FPC)}
procedure Noted;
{$ENDIF}
{$IF SizeOf(LongWord) = 4}
procedure Sized;
{$ENDIF}
type
  generic TStack<T>=class
    Items: array of T;
  end;
  TRunner = class
  private
    FX: Integer;
    procedure Run override;
    function Old: Integer; unimplemented;
  public
    property X: Integer read FX; deprecated 'use Y';
    property Y: Integer read FX; unimplemented;
  end;
operator := (const S: string) R: TRunner;
const
  RRunner: TStreamRec = (ObjType: 1; VmtLink: Ofs(TypeOf(TRunner)^));
{$IFC DEFINED(NOPE)}
procedure NotThis;
{$ELIFC DEFINED(FPC)}
procedure Elifc;
{$ELSEC}
procedure NotThat;
{$ENDC}
implementation
procedure TRunner.Run;
begin
end;
end.
