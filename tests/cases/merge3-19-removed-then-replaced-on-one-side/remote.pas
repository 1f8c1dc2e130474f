unit Lists;

interface

type
  TNames = class
  end;
  TCounts = array of Integer;

implementation

end.
