unit Shapes;

interface

type
  TShape = class(TObject)
  private
    FWidth: Integer;
  public
    procedure Draw;
    function Area: Integer;
  end;

procedure Reset;

implementation

procedure TShape.Draw;
begin
  Canvas.MoveTo(0, 0);
  Canvas.LineTo(FWidth, 0);
end;

function TShape.Area: Integer;
begin
  Result := FWidth * FWidth;
end;

procedure Reset;
begin
end;

end.
