unit Names;
interface
type
  TRec = record
    Strict, Sealed, Helper: Boolean;
    Static, Final, Inline: Integer;
    Reference, Operator: Pointer;
  end;
  TCls = class
    Platform: Integer;
    procedure Deprecated;
    function Delayed: Integer;
    Experimental: Integer;
  end;
var
  Unsafe, Varargs: Integer;
function Operator(Reference: Integer): Integer;
implementation
function Operator(Reference: Integer): Integer;
var
  Strict: Integer;
begin
  Strict := Reference;
  Result := Strict;
end;
end.
