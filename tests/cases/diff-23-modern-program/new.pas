program Tool;

{$APPTYPE CONSOLE}

uses
  SysUtils;

const
  Greeting = 'Hello';

procedure Say(const S: string);
begin
  Writeln(S, '!');
end;

function Twice(N: Integer): Integer;
begin
  Result := 2 * N;
end;

begin
  Say(Greeting);
  Say(IntToStr(Twice(21)));
end.
