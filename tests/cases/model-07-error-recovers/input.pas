unit Broken;
interface
type
  TA = class
  strict private
    FX: Integer;
  end;
const
  After = 1;
implementation
end.
