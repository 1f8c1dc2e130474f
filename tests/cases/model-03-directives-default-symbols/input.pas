unit Cond;
interface
{$IFDEF WIN32}
const A = 1;
{$ELSE}
const B = 2;
{$ENDIF}
{$ifndef win32} const C = 3; {$endif}
{$IFDEF DEBUG}
const D = 4;
  {$IFDEF WIN32} const E = 5; {$ENDIF}
{$ENDIF}
{$DEFINE DEBUG}
{$IFDEF DEBUG} const F = 6; {$ENDIF}
{$UNDEF DEBUG}
{$IFDEF DEBUG} const G = 7; {$ENDIF}
{$IFOPT R+} const H = 8; {$ELSE} const I = 9; {$ENDIF}
{$IFDEF WIN32 // note} const J = 10; {$ENDIF}
{$IFDEF VER130}{$ENDIF}const K = 11;
{$IFNDEF WIN32} const L = 12; {$ELSEIF X} const M = 13; {$ENDIF}
const N = 14;
implementation
end.
