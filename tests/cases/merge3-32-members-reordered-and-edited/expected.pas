unit Shapes;

interface

type
  TShape = class
  private
    FWidth: Integer;
    FHeight: Integer;
  public
    procedure Scale(Factor: Integer);
    function Perimeter: Int64;
    function Area: Integer;
    property Width: Integer read FWidth write FWidth;
  end;

implementation

function TShape.Area: Integer;
begin
  Result := FWidth * FHeight;
end;

function TShape.Perimeter: Int64;
begin
  Result := 2 * (Int64(FWidth) + FHeight);
end;

procedure TShape.Scale(Factor: Integer);
begin
  FWidth := FWidth * Factor;
  FHeight := FHeight * Factor;
end;

end.
