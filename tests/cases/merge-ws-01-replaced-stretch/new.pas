program P;
begin
  WriteLn('new');
  WriteLn('{more}');
end.
