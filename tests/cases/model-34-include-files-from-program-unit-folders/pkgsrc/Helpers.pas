unit Helpers;
interface
implementation
end.
