unit About;

interface

implementation

end.
