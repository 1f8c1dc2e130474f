library Lib;
uses Windows;
label 10, Done;
function Add(A, B: Integer): Integer; stdcall;
asm
  MOV EAX, A
  @@L: ADD EAX, B
end;
exports
  Add index 1 name 'Add' resident,
  Add name 'Plus';
resourcestring
  SLib = 'lib' + 'rary';
begin
  try
    case X of 1: ; else ; end;
  except on E: Exception do ; end;
end.
