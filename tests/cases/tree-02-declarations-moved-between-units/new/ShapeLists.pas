unit ShapeLists;

interface

uses
  Classes;

type
  TShapeList = class(TList)
  public
    procedure DrawAll;
    function Largest: Integer;
  end;

implementation

procedure TShapeList.DrawAll;
var
  I: Integer;
begin
  for I := Count - 1 downto 0 do
    Draw(Items[I]);
end;

function TShapeList.Largest: Integer;
begin
  Result := Count - 1;
end;

end.
