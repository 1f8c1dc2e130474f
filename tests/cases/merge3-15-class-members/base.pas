unit Shapes;

interface

type
  TShape = class
  private
    FName: string;
  public
    procedure Draw;
  end;

implementation

procedure TShape.Draw;
begin
  WriteLn(FName);
end;

end.
