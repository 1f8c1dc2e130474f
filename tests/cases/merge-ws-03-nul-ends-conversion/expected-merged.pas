// Quennet Pro @VERSION@ Copyright (c) 2026 Quennet
// FOR REVERSE SOURCE TO PREVIOUS VERSION REMOVE NEXT LINE
{$DEFINE NEW_VER}

a := 1;
b
{d}
