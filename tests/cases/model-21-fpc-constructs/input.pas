unit FpcBits;
{$mode objfpc}
interface
type
  generic TBox<T> = class
    Value: T;
  end;
  TIntBox = specialize TBox<Integer>;
  NSView = objcclass external (NSObject)
    procedure display; message 'display';
  end;
  TColors = (cRed := 1, cGreen);
  TCb = procedure(X: Integer) is nested;
operator + (const A, B: TIntBox) R: TIntBox;
procedure Put(constref X: Integer); cdecl; public name 'put';
var
  Counter: Integer; cvar; external;
const
  P: TPoint = (X: 1; Y: 2;);
implementation
operator + (const A, B: TIntBox) R: TIntBox;
begin
end;
procedure Put(constref X: Integer);
begin
end;
end.
