a;

old;

z;
