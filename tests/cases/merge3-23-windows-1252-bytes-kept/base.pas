unit Greetings;

interface

procedure Hello;
procedure Bye;
procedure Thanks;

implementation

procedure Hello;
begin
  WriteLn('Grüße – “hello”');
end;

procedure Bye;
begin
  WriteLn('Au revoir, café');
end;

procedure Thanks;
begin
  WriteLn('Danke € 10');
end;

end.
