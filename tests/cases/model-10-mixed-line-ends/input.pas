unit M;interface
const A = 1;

B = 2;
implementationbegin
  A;end.
