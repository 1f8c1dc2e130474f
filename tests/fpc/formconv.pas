{ Converts a form between its text and binary forms with the Free Pascal run-time library:
  formconv tobin TEXTFILE BINFILE, formconv totext BINFILE TEXTFILE. }
program formconv;
{$mode objfpc}{$H+}
uses Classes, SysUtils;
var
  src, dst: TFileStream;
begin
  if ParamCount <> 3 then Halt(2);
  src := TFileStream.Create(ParamStr(2), fmOpenRead);
  dst := TFileStream.Create(ParamStr(3), fmCreate);
  try
    try
      if ParamStr(1) = 'tobin' then
        ObjectTextToBinary(src, dst)
      else
        ObjectBinaryToText(src, dst);
    except
      on e: Exception do begin
        WriteLn(StdErr, ParamStr(2), ': ', e.Message);
        ExitCode := 1;
      end;
    end;
  finally
    dst.Free;
    src.Free;
  end;
end.
