unit Quote;

interface

function Said: string;

implementation

{ It’s the caller’s text }
function Said: string;
begin
  Result := 'said';
end;

end.
