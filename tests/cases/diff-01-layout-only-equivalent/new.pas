unit Layout;

{ Distances between points. }

INTERFACE

type
  TPoint3 = record X, Y, Z: Integer; end;

function Dist(const A, B: TPoint3): Integer; // Manhattan

implementation

function DIST(const a, b: TPoint3): integer;
begin
  result := abs(a.x - b.x)
          + abs(a.y - b.y)
          + abs(a.z - b.z);   (* three axes *)
end;

end.
