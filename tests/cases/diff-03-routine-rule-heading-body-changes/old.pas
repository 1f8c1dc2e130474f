unit Routines;

interface

procedure BodyOnly(X: Integer);
function HeadAndBody(X: Integer): Integer;
procedure HeadBodyRemoved(const S: string);
procedure GainsBody;
procedure LosesBody;
procedure Gone;

implementation

procedure BodyOnly(X: Integer);
begin
  WriteLn(X);
end;

function HeadAndBody(X: Integer): Integer;
begin
  Result := X * 2;
end;

procedure HeadBodyRemoved(const S: string);
begin
  WriteLn(S);
end;

procedure GainsBody; external 'gains.dll';

procedure LosesBody;
begin
end;

procedure Gone;
begin
  Halt;
end;

end.
