{ Forms that real Delphi libraries use: an empty record constant (a comment inside) and a
  method resolution clause for a generic interface whose arguments are generic. }
unit RealForms;
interface
type
  TGen<T> = class(TInterfacedObject, IComparer<TList<T>>)
    function IComparer<TList<T>>.Compare = Cmp;
    function Cmp(const A, B: TList<T>): Integer;
  end;
const
  NoGuid: TGUID = ({%H-});
procedure Last;
implementation
procedure Last;
begin
end;
end.
