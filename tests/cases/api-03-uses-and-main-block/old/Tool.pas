program Tool;

uses
  SysUtils, Classes;

begin
  Writeln(1);
end.
