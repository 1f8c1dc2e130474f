unit Rec;
interface
type
  TC = class
    class constructor Create;
    procedure Run;
  end;
  TR = packed record
    A, B: Integer;
    case Kind: Byte of
      0: (X: Integer);
      1: (Y, Z: Word; case Boolean of True: (Q: Byte));
  end;
const
  P: TPoint = (X: 1; Y: 2);
  M: array[0..1] of TPoint = ((X: 1; Y: 2), (X: 3; Y: 4));
implementation
end.
