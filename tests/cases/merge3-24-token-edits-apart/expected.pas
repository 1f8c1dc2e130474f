unit Totals;

interface

function Total(const A, B: Integer): Integer;

implementation

function Total(const A, B: Integer): Integer;
begin
  Result := Scale(A, 100) + Shift(B);
  Check(Result);
<<<<<<< LOCAL
  Log(Tag2, Result);
||||||| BASE
  Log(Tag, Result);
=======
  Log(Tag, Result2);
>>>>>>> REMOTE
end;

end.
