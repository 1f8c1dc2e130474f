unit Grow;

interface

type
  TItem = class(TObject)
  private
    procedure Helper;
  public
    procedure Show;
  end;

implementation

procedure TItem.Helper;
begin
end;

procedure TItem.Show;
begin
end;

end.
