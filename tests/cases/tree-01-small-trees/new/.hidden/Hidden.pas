unit Hidden;
end.
