// Quennet Pro @VERSION@ Copyright (c) 2026 Quennet
// FOR REVERSE SOURCE TO PREVIOUS VERSION REMOVE NEXT LINE
{$DEFINE NEW_VER}

unit Paths;

interface

const
{$IFNDEF NEW_VER}
  Root = 'src/wince';
  Tail = 'rtl';
{$ELSE}
  Root = 'SRC/WINCE';
  Tail = 'RTL';
  Extra = 1;
{$ENDIF}

implementation

procedure Show;
begin
{$IFNDEF NEW_VER}
  Writeln('Done');
{$ELSE}
    Writeln('Done');
{$ENDIF}
end;

end.
