begin
end;
