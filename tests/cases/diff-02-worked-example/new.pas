unit Worked;

interface

type
  TMode = (mdRead, mdWrite, mdAppend);

  TFoo = class(TObject)
  private
    FCount: Int64;
  public
    procedure Paint;
  end;

var
  GCount: Integer;

implementation

procedure TFoo.Paint;
begin
  Inc(FCount, 2);
end;

end.
