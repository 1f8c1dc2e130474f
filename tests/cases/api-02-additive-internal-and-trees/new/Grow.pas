unit Grow;

interface

type
  TItem = class(TObject)
  public
    procedure Helper;
    procedure Show;
    procedure Hide;
  published
    property Tag: Integer read FTag;
  end;

  TOther = record
    X: Integer;
  end;

procedure Setup;

implementation

procedure TItem.Helper;
begin
end;

procedure TItem.Show;
begin
end;

procedure TItem.Hide;
begin
end;

procedure Setup;
begin
end;

end.
