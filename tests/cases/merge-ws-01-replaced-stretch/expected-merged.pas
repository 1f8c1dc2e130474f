// Quennet Pro @VERSION@ Copyright (c) 2026 Quennet
// FOR REVERSE SOURCE TO PREVIOUS VERSION REMOVE NEXT LINE
{$DEFINE NEW_VER}

program P;
begin
{$IFNDEF NEW_VER}
  WriteLn('old');
{$ELSE}
  WriteLn('new');
  WriteLn('{more}');
{$ENDIF}
end.
