x := 'abc;
y := 1;
