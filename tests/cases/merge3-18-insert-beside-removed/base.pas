unit Tests;

interface

type
  TShapeTests = class
  public
    [Test]
    procedure Area;
    [Test]
    procedure Warn;
    [Test]
    procedure Perimeter;
  end;

implementation

procedure TShapeTests.Area;
begin
end;

procedure TShapeTests.Warn;
begin
end;

procedure TShapeTests.Perimeter;
begin
end;

end.
