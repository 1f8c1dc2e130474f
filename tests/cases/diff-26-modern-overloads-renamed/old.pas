unit Store;

interface

type
  TStore = class
  public
    procedure Put(const Key: string; Value: Integer); overload;
    procedure Put(const Key: string; Value: Boolean); overload;
  end;

function Clamp(Value: Integer): Integer; overload;
function Clamp(Value: Double): Double; overload;

implementation

procedure TStore.Put(const Key: string; Value: Integer);
begin
  WriteLn(Key, '=', Value);
end;

procedure TStore.Put(const Key: string; Value: Boolean);
begin
  if Value then
    WriteLn(Key, '=yes')
  else
    WriteLn(Key, '=no');
end;

function Clamp(Value: Integer): Integer;
begin
  if Value < 0 then
    Result := 0
  else
    Result := Value;
end;

function Clamp(Value: Double): Double;
begin
  if Value < 0 then
    Result := 0
  else
    Result := Value;
end;

end.
