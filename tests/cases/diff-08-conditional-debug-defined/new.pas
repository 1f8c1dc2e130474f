unit Cond;

interface

{$IFDEF DEBUG}
procedure DumpState(Level: Integer);
procedure DumpMore;
{$ENDIF}

{$ifdef win32}
const
  PathSep = '\';
{$else}
const
  PathSep = ':';
{$endif}

{$DEFINE FASTRUN}
procedure Run;

implementation

procedure Run;
begin
  {$IFNDEF WIN32}
  WriteLn('still not windows');
  {$ENDIF}
  {$IFDEF FASTRUN}
  Exit;
  {$ENDIF}
end;

{$IFNDEF WIN32}
procedure Extra;
begin
end;
{$ENDIF}

end.
