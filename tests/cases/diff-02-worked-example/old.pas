unit Worked;

interface

type
  TMode = (mdRead, mdWrite);

  TFoo = class(TObject)
  private
    FCount: Integer;
  public
    procedure Paint;
  end;

procedure Refresh;

implementation

procedure TFoo.Paint;
begin
  Inc(FCount);
end;

procedure Refresh;
begin
end;

end.
