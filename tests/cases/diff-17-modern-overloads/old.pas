unit Overloads;

interface

type
  TStore = class
  public
    procedure Put(const Key: string; Value: Integer); overload;
    procedure Put(const Key: string; const Value: string); overload;
    function Count: Integer;
  end;

function Clamp(X: Integer): Integer; overload;
function Clamp(X: Double): Double; overload;
procedure Log(const Msg: string);

implementation

procedure TStore.Put(const Key: string; Value: Integer);
begin
  WriteLn(Key, Value);
end;

procedure TStore.Put(const Key: string; const Value: string);
begin
  WriteLn(Key, Value);
end;

function TStore.Count: Integer;
begin
  Result := 0;
end;

function Clamp(X: Integer): Integer;
begin
  if X < 0 then Result := 0 else Result := X;
end;

function Clamp(X: Double): Double;
begin
  if X < 0 then Result := 0 else Result := X;
end;

procedure Log(const Msg: string);
begin
  WriteLn(Msg);
end;

end.
