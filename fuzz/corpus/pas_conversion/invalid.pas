x := 'abc
