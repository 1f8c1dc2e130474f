unit Api;

interface

type
  TKind = (kOne, kTwo);

  TBase = class(TObject, IInterface)
  private
    FSecret: Integer;
  protected
    procedure Hook; virtual;
    procedure Guarded; virtual;
  public
    function Count: Integer;
    procedure Gone;
  published
    property Name: string read FName write FName;
  end;

const
  Limit = 10;

var
  Current: TBase;

procedure Run(A: Integer);
procedure Stop;

implementation

procedure TBase.Hook;
begin
end;

procedure TBase.Guarded;
begin
end;

function TBase.Count: Integer;
begin
  Result := 0;
end;

procedure TBase.Gone;
begin
end;

procedure Run(A: Integer);
begin
end;

procedure Stop;
begin
end;

end.
