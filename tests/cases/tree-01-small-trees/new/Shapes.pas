unit Shapes;

interface

type
  TShape = class(TObject)
  private
    FWidth: Int64;
  public
    procedure Draw;
    function Area: Int64;
  end;

const
  Ratio = 2;

implementation

procedure TShape.Draw;
begin
  Canvas.MoveTo(0, 0);
	Canvas.LineTo(FWidth * Ratio, 0);
  Canvas.LineTo(FWidth, FWidth);
end;

function TShape.Area: Int64;
begin
  Result := FWidth * FWidth;
end;

end.
