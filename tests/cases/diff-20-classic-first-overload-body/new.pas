unit FirstBody;

interface

function Twice(X: Integer): Integer; overload;
function Twice(const S: string): string; overload;

implementation

function Twice(X: Integer): Integer;
begin
  Result := X + X;
end;

function Twice(const S: string): string;
begin
  Result := S + S;
end;

end.
