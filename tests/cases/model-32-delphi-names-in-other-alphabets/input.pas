{ Names in other alphabets, a string type with its code page, and an include file named in
  another letter case than on disk (Windows opens it). }
unit Umlaute;
interface
{$I SHARED.inc}
type
  Latin1String = type AnsiString(28591);
procedure ÜbernehmeWerte(const Größe: Integer);
{$IFDEF FROM_INC}
procedure FromInclude;
{$ENDIF}
implementation
procedure ÜbernehmeWerte(const Größe: Integer);
begin
end;
procedure FromInclude;
begin
end;
end.
