program P;
begin
  WriteLn('old');
end.
