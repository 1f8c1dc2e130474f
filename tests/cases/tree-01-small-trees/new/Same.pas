unit Same;

interface

implementation

end.
