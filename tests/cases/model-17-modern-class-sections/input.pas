unit Sections;
interface
type
  TOuter = class sealed(TObject)
  strict private
    FCount: Integer;
  public
    type
      TInner = class
        procedure DoIt;
      end;
      TKind = (kOne = 1, kTwo = 2);
    const
      Max = 10;
    class var
      Instances: Integer;
    var
      FName: string;
  public
    class constructor Create;
    class function Make: TOuter; static;
    class property Count: Integer read FCount;
  end;
  TOuterHelper = class helper for TOuter
    function Twice: Integer; inline;
  end;
  TIntHelper = record helper for Integer
    function ToText: string;
  end;
implementation
procedure TOuter.TInner.DoIt;
begin
end;
end.
