unit Headings;

interface

type
  TShape = class
  public
    procedure Move(DX, DY: Integer);
    function Area: Double;
    function Name: string;
    procedure Draw;
  end;

procedure Reset(Hard: Boolean);

implementation

procedure TShape.Move(DX, DY: Integer);
begin
end;

function TShape.Area: Double;
begin
  Result := 0;
end;

function TShape.Name: string;
begin
  Result := 'shape';
end;

procedure TShape.Draw;
begin
end;

procedure Reset(Hard: Boolean);
begin
end;

end.
