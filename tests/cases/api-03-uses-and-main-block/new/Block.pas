program Block;

begin
  Writeln(2);
end.
