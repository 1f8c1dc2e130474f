program Block;

begin
  Writeln(1);
end.
