unit Attrs;
interface
type
  [Serializable]
  TData = class
  public
    [JsonName('id')]
    Id: Integer;
    [Test, Ignore('slow')]
    procedure Run; virtual; final;
  end;
  TOld = Integer deprecated 'use TNew';
function Fast(A: Integer): Integer; inline;
function Beep(Freq: Integer): LongBool; stdcall; external 'kernel32.dll' name 'Beep' delayed;
procedure Gone; deprecated;
procedure NoArgs();
implementation
function Fast(A: Integer): Integer;
begin
  Result := A;
end;
procedure Gone;
begin
end;
procedure NoArgs();
begin
end;
end.
