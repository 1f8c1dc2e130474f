unit Stop;
interface
type
  TList<T> = class
  end;
const
  Lost = 1;
implementation
end.
