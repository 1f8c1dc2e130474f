unit Classy;

interface

type
  TBase = class
  end;

  THeir = class(TPersistent)
    FValue: Integer;
  end;

  TMoved = class(TObject)
    FX: Integer;
  end;

  TWidget = class(TBase)
  private
    FName: string;
    FSize: Int64;
    FColor: Integer;
    procedure SetSize(Value: Int64);
  public
    procedure Paint; virtual;
    procedure Clear;
    property Size: Int64 read FSize write SetSize;
    property Name: string read FName;
    property Color: Integer read FColor write FColor;
  end;

  TAdded = class(TWidget)
    FZ: Integer;
  end;

implementation

procedure TWidget.SetSize(Value: Int64);
begin
  FSize := Value;
end;

procedure TWidget.Paint;
begin
  Invalidate;
end;

procedure TWidget.Clear;
begin
  FSize := 0;
end;

end.
