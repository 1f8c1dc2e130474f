a;

z;
