unit Totals;

interface

function Total(const A, B: Integer): Integer;

implementation

function Total(const A, B: Integer): Integer;
begin
  Result := Scale(A, 10) + Shift(B);
  Check(Result);
  Log(Tag, Result2);
end;

end.
