unit Quote;

interface

function Said: UnicodeString;

implementation

{ Its the callers text }
function Said: UnicodeString;
begin
  Result := 'told';
end;

end.
