unit Store;

interface

type
  TStore = class
  public
    procedure Store(const Key: string; Value: Integer); overload;
    procedure Store(const Key: string; Value: Boolean); overload;
  end;

function AtLeastZero(Value: Integer): Integer; overload;
function AtLeastZero(Value: Double): Double; overload;

implementation

procedure TStore.Store(const Key: string; Value: Integer);
begin
  WriteLn(Key, '=', Value);
end;

procedure TStore.Store(const Key: string; Value: Boolean);
begin
  if Value then
    WriteLn(Key, '=yes')
  else
    WriteLn(Key, '=no');
end;

function AtLeastZero(Value: Integer): Integer;
begin
  if Value < 0 then
    Result := 0
  else
    Result := Value;
end;

function AtLeastZero(Value: Double): Double;
begin
  if Value < 0 then
    Result := 0
  else
    Result := Value;
end;

end.
