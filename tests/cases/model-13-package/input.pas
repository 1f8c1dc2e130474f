package Pkg;
requires
  rtl, vcl;
contains
  UnitA, UnitB;
end.
