unit Quiet;

interface

type
  TWorker = class(TObject)
  private
    FCount: Int64;
    procedure Tick(Step: Integer);
  public
    procedure Run;
  end;

implementation

type
  THelper = class
    procedure Assist(Hard: Boolean);
  end;

procedure THelper.Assist(Hard: Boolean);
begin
end;

procedure TWorker.Tick(Step: Integer);
begin
  Inc(FCount, Step);
end;

procedure TWorker.Run;
begin
  Tick(2);
end;

procedure Local2;
begin
end;

initialization
  Local2;
end.
