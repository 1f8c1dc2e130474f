{ Constructs the Free Pascal compiler reads that once stopped the parse: a method named
  ShortString, class operators by their symbol, generic routines, a variable's cvar without its
  semicolon, hints after a typed constant's type and after a resource string, overloads of
  operator :=, and {$IF} on constants of the unit. }
unit Constructs;
{$mode objfpc}{$modeswitch advancedrecords}
interface
const
  HasClosures = True;
  Level = 2 * 3;
{$IF HasClosures and (Level > 5)}
procedure WithClosures;
{$ELSE}
procedure WithoutClosures;
{$ENDIF}
{$IF declared(Level)}
procedure LevelDeclared;
{$ENDIF}
type
  TNames = class
    function ShortString: string;
    generic class function From<T>(const V: T): TNames;
  end;
  TPoint2 = record
    X, Y: Integer;
    class operator :=(V: Integer): TPoint2;
    class operator +(const A, B: TPoint2): TPoint2;
  end;
var
  Colors: LongInt cvar; external;
const
  NoErrMsg: Boolean platform = False;
resourcestring
  SOld = 'old' deprecated;
operator := (V: Integer): TNames;
operator := (V: Double): TNames;
generic function IfThen<T>(C: Boolean; const A, B: T): T;
procedure Last;
implementation
class operator TPoint2.:=(V: Integer): TPoint2;
begin
  Result.X := V;
end;
generic function IfThen<T>(C: Boolean; const A, B: T): T;
begin
  if C then Result := A else Result := B;
end;
procedure Last;
begin
end;
end.
