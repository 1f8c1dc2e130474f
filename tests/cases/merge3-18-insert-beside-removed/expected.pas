unit Tests;

interface

type
  TShapeTests = class
  public
    [Test]
    procedure Area;
    [Test]
    procedure Volume;
    [Test]
    procedure Perimeter;
  end;

implementation

procedure TShapeTests.Area;
begin
end;

procedure TShapeTests.Volume;
begin
end;

procedure TShapeTests.Perimeter;
begin
end;

end.
