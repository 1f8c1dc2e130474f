unit Beeps;

interface

procedure Alarm;
procedure Warning;
procedure Notice(Count: Integer);

implementation

procedure Alarm;
begin
  Beep;
end;

procedure Warning;
begin
  Beep;
end;

procedure Notice(Count: Integer);
begin
  while Count > 0 do
  begin
    Beep;
    Dec(Count);
  end;
end;

end.
