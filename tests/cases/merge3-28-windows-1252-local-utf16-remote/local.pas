unit Greet;

interface

function Hello: string;
function Bye: string;

implementation

{ Grüße: café }
function Hello: string;
begin
  Result := 'Hello, café';
end;

function Bye: string;
begin
  Result := 'Bye';
end;

end.
