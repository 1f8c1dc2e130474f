unit Routines;

interface

procedure BodyOnly(X: Integer);
function HeadAndBody(X: Integer; Y: Integer): Integer;
procedure HeadBodyRemoved(const S: string; Line: Boolean);
procedure GainsBody;
procedure LosesBody;
procedure Fresh;

implementation

procedure BodyOnly(X: Integer);
begin
  WriteLn('X = ', X);
end;

function HeadAndBody(X: Integer; Y: Integer): Integer;
begin
  Result := X * Y;
end;

procedure HeadBodyRemoved(const S: string; Line: Boolean); external 'text.dll';

procedure GainsBody;
begin
  Beep;
end;

procedure LosesBody; external 'loses.dll';

procedure Fresh;
begin
end;

end.
