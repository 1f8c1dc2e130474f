unit Names;

interface

function UpperName(const S: string): string;

implementation

function UpperName(const S: string): string;
begin
  Result := UpperCase(S);
end;

end.
