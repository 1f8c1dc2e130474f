unit Api;

interface

type
  TKind = (kOne, kTwo, kThree);

  TBase = class(TObject)
  private
    FSecret: Int64;
    procedure Guarded; virtual;
  protected
    procedure Hook; virtual; abstract;
  public
    function Count: Int64;
    property Name: string read FName write FName;
  end;

const
  Limit = 20;

var
  Current: TObject;

procedure Run(A, B: Integer);

implementation

procedure TBase.Guarded;
begin
end;

function TBase.Count: Int64;
begin
  Result := 0;
end;

procedure Run(A, B: Integer);
begin
end;

procedure Stop;
begin
end;

end.
