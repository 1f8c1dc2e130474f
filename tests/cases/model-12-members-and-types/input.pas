unit Props;
interface
type
  TP = class(TComponent)
  private
    FItems: array[0..9] of Integer;
    function GetItem(Index: Integer): Integer; virtual abstract;
    procedure SetItem(Index: Integer; Value: Integer); dynamic;
  published
    property Item0: Integer index 0 read GetItem write SetItem stored False default 5;
    property Flag: Boolean read FFlag nodefault;
    property Intf: IFoo read FIntf implements IFoo, IBar;
    property Text;
  end;
  D = dispinterface
    ['{11111111-1111-1111-1111-111111111111}']
    property Name: WideString dispid 1;
    procedure Go; dispid 2;
  end;
  TProc = procedure(Sender: TObject) of object; stdcall;
  TFunc = function: Integer; cdecl;
  TSet = set of (a, b, c);
  TStr = string[20];
  TF = file of Byte;
var
  Buf: array[Byte] of Char absolute Other;
threadvar
  TV: Integer;
implementation
end.
