{ first
  second \ line
  third }
(*) z
x := 1; // note {x}
(* a
*) y
a:=(*c*)b
{ open \
