{ Free Pascal's C varargs ("..." as the last parameter, or the only one) in external
  declarations and types, and a routine's other name, "alias: 'name'", in the interface and in
  the implementation; in a class, "alias: T" stays a field. Packed classes and objects. A
  record's operator named by its symbol, with a named result; a directive straight after a
  heading, without its ";", in the implementation too. }
unit CInterop;
{$mode macpas}
interface
type
  TFormatter = function(format: PChar; ...): Integer;
  TBox = class
    procedure Put;
    alias: Integer;
  end;
  TNode = packed class(TBox)
    X: Integer;
  end;
  TOld = packed object
    Y: Byte;
  end;
  TEntry = record
    A: Integer;
    class operator =(a, b: TEntry) c: Boolean;
  end;
procedure Fast inline;
function printf(format: PChar; ...): Integer; external name '_printf';
function anything(...): Integer; external name '_anything';
function Registered: Boolean; alias: 'WSRegistered';
implementation
class operator TEntry.=(a, b: TEntry) c: Boolean;
begin
  c := a.A = b.A;
end;
procedure Fast inline;
begin
end;
procedure TBox.Put;
begin
end;
function Registered: Boolean; alias : 'WSRegistered';
begin
  Result := True;
end;
end.
