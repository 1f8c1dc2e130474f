unit Quiet;

interface

type
  TWorker = class(TObject)
  private
    FCount: Integer;
    procedure Tick;
  public
    procedure Run;
  end;

implementation

type
  THelper = class
    procedure Assist;
  end;

procedure THelper.Assist;
begin
end;

procedure TWorker.Tick;
begin
  Inc(FCount);
end;

procedure TWorker.Run;
begin
  Tick;
end;

procedure Local;
begin
end;

initialization
  Local;
end.
