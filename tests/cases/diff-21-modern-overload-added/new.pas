unit OverloadAdded;

interface

function Clamp(X: Integer): Integer; overload;
function Clamp(X: Double): Double; overload;

implementation

function Clamp(X: Integer): Integer;
begin
  if X < 0 then Result := 0 else Result := X;
end;

function Clamp(X: Double): Double;
begin
  if X < 0 then Result := 0 else Result := X;
end;

end.
