unit Gone;

interface

implementation

end.
