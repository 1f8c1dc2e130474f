unit Recs;
interface
type
  TPoint = record
    X, Y: Integer;
  end;
  TVec = packed record
  private
    FX: Double;
  public
    constructor Create(AX: Double);
    class operator Add(const A, B: TVec): TVec;
    property X: Double read FX;
  case Integer of
    0: (Raw: Int64);
  end;
  TShape = object(TBase)
  private
    FSize: Integer;
  public
    constructor Init;
    destructor Done; virtual;
  end;
implementation
constructor TVec.Create(AX: Double);
begin
  FX := AX;
end;
class operator TVec.Add(const A, B: TVec): TVec;
begin
end;
end.
