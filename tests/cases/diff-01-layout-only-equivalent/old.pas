unit Layout;

interface

type
  TPoint3 = record
    X, Y, Z: Integer;
  end;

function Dist(const A, B: TPoint3): Integer;

implementation

function Dist(const A, B: TPoint3): Integer;
begin
  Result := Abs(A.X - B.X) + Abs(A.Y - B.Y) + Abs(A.Z - B.Z);
end;

end.
