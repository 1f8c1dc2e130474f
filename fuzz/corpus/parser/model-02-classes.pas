unit Shapes2;
interface
type
  TBase = class;
  TFoo = class(TBase, IBar)
  private
    FCount: Integer;
    FName, FTitle: string;
    procedure Foo; message WM_FOO;
    Message: Integer;
  protected
    class procedure Make;
    procedure Paint; virtual; abstract;
    function GetItem(I: Integer): string;
  public
    constructor Create(AOwner: TComponent); override;
    property Items[I: Integer]: string read GetItem; default;
    property Count: Integer read FCount write FCount;
    property Tag;
  end;
  TBase = class(TObject)
  end;
  TFooClass = class of TFoo;
  IBar = interface(IUnknown)
    ['{00000000-0000-0000-0000-000000000001}']
    function Get: Integer; stdcall;
    property Value: Integer read Get;
  end;
  IFwd = interface;
  TObj = object(TParent)
    X, Y: Integer;
    procedure Move(DX: Integer); virtual;
  end;
implementation
class procedure TFoo.Make;
begin
end;
procedure TMissing.Go;
begin
end;
end.
