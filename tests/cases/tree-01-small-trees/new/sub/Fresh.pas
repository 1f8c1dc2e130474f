unit Fresh;

interface

implementation

end.
