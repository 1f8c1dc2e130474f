program Demo;
BEGIN Begin begin
  x := $1F + 1.5e3;
end.
