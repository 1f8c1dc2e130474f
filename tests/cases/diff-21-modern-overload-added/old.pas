unit OverloadAdded;

interface

function Clamp(X: Integer): Integer;

implementation

function Clamp(X: Integer): Integer;
begin
  if X < 0 then Result := 0 else Result := X;
end;

end.
