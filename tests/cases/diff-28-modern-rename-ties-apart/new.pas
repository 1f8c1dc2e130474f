unit Beeps;

interface

procedure Signal;
procedure Remind(Count: Integer);

implementation

procedure Signal;
begin
  Beep;
end;

procedure Remind(Count: Integer);
begin
  while Count > 0 do
  begin
    Beep;
    Dec(Count);
  end;
end;

end.
