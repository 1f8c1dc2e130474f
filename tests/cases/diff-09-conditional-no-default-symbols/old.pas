unit Cond;

interface

{$IFDEF DEBUG}
procedure DumpState;
{$ENDIF}

{$IFDEF WIN32}
const
  PathSep = '\';
{$ELSE}
const
  PathSep = '/';
{$ENDIF}

procedure Run;

implementation

procedure Run;
begin
  {$IFNDEF WIN32}
  WriteLn('not windows');
  {$ENDIF}
end;

end.
