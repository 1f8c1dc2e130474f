unit Shapes;

interface

type
  TShape = class
  private
    FName: string;
  public
    procedure Draw;
    procedure Move(DX, DY: Integer);
  end;

implementation

procedure TShape.Draw;
begin
  WriteLn(FName);
end;

procedure TShape.Move(DX, DY: Integer);
begin
  Draw;
end;

end.
