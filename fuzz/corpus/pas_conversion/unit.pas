unit U;
interface
type
  TFoo = class
  private
    FX: Integer;
  public
    property X: Integer read FX write FX stored True;
    procedure Read; virtual;
  end;
const S = 'a{b}\c' + #13#10 + 'it''s';
{ comment
  over lines }
(*) x := $FF + 1.5e3; // tail {x}
implementation
end.
