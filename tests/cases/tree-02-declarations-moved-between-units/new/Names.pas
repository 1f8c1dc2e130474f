unit Names;

interface

uses
  Shapes;

function UpperName(const S: string): string;
function ShapeKindName(Kind: TShapeKind): string;

implementation

function UpperName(const S: string): string;
begin
  Result := UpperCase(S);
end;

function ShapeKindName(Kind: TShapeKind): string;
begin
  case Kind of
    skCircle: Result := 'Circle';
    skRectangle: Result := 'Rectangle';
  end;
end;

end.
