program Tool;

uses
  SysUtils, Types;

begin
  Writeln(2);
end.
