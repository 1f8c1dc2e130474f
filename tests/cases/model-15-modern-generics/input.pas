unit Gen;
interface
type
  TList = class
  end;
  TList<T> = class
    function Get(I: Integer): T;
  end;
  TCache<K, V: class, constructor> = class(TList<K>)
  public
    function Find<R>(const Key: K): R;
  end;
  TPair<A, B> = record
    First: A;
    Second: B;
  end;
const
  Limit = 1 < 2;
implementation
function TList<T>.Get(I: Integer): T;
begin
  Result := Default(T);
end;
function TCache<K, V>.Find<R>(const Key: K): R;
begin
  Result := TList<Integer>.Create;
end;
end.
