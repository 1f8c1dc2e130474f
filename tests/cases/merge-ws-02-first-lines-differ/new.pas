unit B;

x
y
