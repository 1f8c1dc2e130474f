unit Shapes;

interface

uses
  Classes;

type
  TShapeKind = (skCircle, skRectangle);

  TShapeList = class(TList)
  public
    procedure DrawAll;
    function Largest: Integer;
  end;

function ShapeKindName(Kind: TShapeKind): string;
procedure ResetShapes;

implementation

procedure TShapeList.DrawAll;
var
  I: Integer;
begin
  for I := 0 to Count - 1 do
    Draw(Items[I]);
end;

function TShapeList.Largest: Integer;
begin
  Result := Count - 1;
end;

function ShapeKindName(Kind: TShapeKind): string;
begin
  case Kind of
    skCircle: Result := 'Circle';
    skRectangle: Result := 'Rectangle';
  end;
end;

procedure ResetShapes;
begin
  ShapeCount := 0;
end;

end.
