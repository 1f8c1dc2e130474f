unit Core;
interface
implementation
end.
