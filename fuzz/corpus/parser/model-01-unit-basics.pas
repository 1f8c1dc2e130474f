unit Basics;

interface

type
  TMode = (mdOne,
    mdTwo);
  TRange = 1..10;

const
  Max = 10;
  Primes: array[0..2] of Integer = (2, 3, 5);

resourcestring
  SHello = 'Hello' + #13#10;

var
  GCount, GOther: Integer = 5;
  GPtr: ^Integer;

procedure Refresh(A: Integer);
function Twice(X: Integer): Integer; stdcall;

implementation

procedure Refresh(A: Integer);
begin
  if A > 0 then begin Inc(A); end;
end;

function Twice(X: Integer): Integer;
begin
  Result := X * 2;
end;

function Local: Integer;
begin
  Result := 1
end;

initialization
  GCount := 1;
finalization
end.
