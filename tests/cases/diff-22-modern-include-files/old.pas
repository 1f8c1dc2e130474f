unit Shapes;

{ The class and its constant live in an include file of their own folder;
  its method bodies in another. }

interface

type
  TKind = (kCircle, kSquare);
{$I old/shapes.inc}

function Area(K: TKind; Size: Double): Double;

implementation

function Area(K: TKind; Size: Double): Double;
begin
  if K = kCircle then
    Result := Pi * Size * Size
  else
    Result := Size * Size;
end;

{$I old/bodies.inc}

end.
