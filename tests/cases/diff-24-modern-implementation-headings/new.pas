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

procedure TShape.Move;
begin
end;

function TShape.Area: Extended;
begin
  Result := 0;
end;

function TShape.Name: string; inline;
begin
  Result := 'shape';
end;

procedure TShape.Draw;
begin
  Writeln('draw');
end;

procedure Reset(const Hard: Boolean);
begin
end;

procedure Clear;
begin
end;

end.
