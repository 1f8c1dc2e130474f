unit Classy;

interface

type
  TBase = class
  end;

  THeir = class(TObject)
    FValue: Integer;
  end;

  TWidget = class(TBase)
  private
    FName: string;
    FSize: Integer;
    FOld: Boolean;
    procedure SetSize(Value: Integer);
  public
    procedure Paint; virtual;
    procedure Reset;
    property Size: Integer read FSize write SetSize;
    property Name: string read FName;
  end;

  TMoved = class(TObject)
    FX: Integer;
  end;

  TDropped = class(TBase)
    FY: Integer;
  end;

implementation

procedure TWidget.SetSize(Value: Integer);
begin
  FSize := Value;
end;

procedure TWidget.Paint;
begin
end;

procedure TWidget.Reset;
begin
  FSize := 0;
end;

end.
