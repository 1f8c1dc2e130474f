program Tool;

{$APPTYPE CONSOLE}

uses
  SysUtils;

const
  Greeting = 'Hello';

procedure Say(const S: string);
begin
  Writeln(S);
end;

begin
  Say(Greeting);
end.
