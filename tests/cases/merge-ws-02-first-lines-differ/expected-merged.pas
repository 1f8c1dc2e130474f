// Quennet Pro @VERSION@ Copyright (c) 2026 Quennet
// FOR REVERSE SOURCE TO PREVIOUS VERSION REMOVE NEXT LINE
{$DEFINE NEW_VER}

{$IFNDEF NEW_VER}
unit A;
{$ELSE}
unit B;
{$ENDIF}

x
{$IFDEF NEW_VER}
y
{$ENDIF}
