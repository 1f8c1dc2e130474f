unit Shapes;

interface

type
  TShape = class
  private
    FName: string;
  public
    procedure Draw;
    function Area: Double;
  end;

implementation

procedure TShape.Draw;
begin
  WriteLn(FName);
end;

function TShape.Area: Double;
begin
  Result := 0;
end;

end.
