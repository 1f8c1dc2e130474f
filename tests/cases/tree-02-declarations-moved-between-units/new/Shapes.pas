unit Shapes;

interface

uses
  Classes, ShapeLists;

type
  TShapeKind = (skCircle, skRectangle);

  TShapeList = ShapeLists.TShapeList;

procedure ResetShapes;

implementation

procedure ResetShapes;
begin
  ShapeCount := 0;
end;

end.
