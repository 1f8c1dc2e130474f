{ Forms of the run-time library and of C bindings: a string with a code page, a class variable
  written as a static field, a hint before a variable's value, routine directives after a
  compilerproc name and without their ";", and far, varargs and hints after a procedural type. }
unit RtlForms;
{$mode objfpc}
interface
type
  UTF8String = type AnsiString(CP_UTF8);
  TEncodings = class
  var
    FStandard: array of TObject; static;
    FCount: Integer;
  end;
  TTrace = procedure(User: Pointer; S: PAnsiChar); cdecl; deprecated;
var
  NoErrMsg: Boolean platform = False;
  OnMarker: function(Info: Pointer): Integer; far;
  ParseArgs: procedure(Fmt: PAnsiChar); cdecl; varargs;
function fpc_shortstr_copy(const S: ShortString; Index, Count: SizeInt): ShortString; compilerproc:fpc_in_copy_x;
procedure fpc_ansistr_to_chararray(out Res: array of AnsiChar; const Src: RawByteString)compilerproc;
procedure fpc_setstring(out S: RawByteString; Buf: PAnsiChar); rtlproc; compilerproc;
procedure Last;
implementation
procedure Last;
begin
end;
end.
