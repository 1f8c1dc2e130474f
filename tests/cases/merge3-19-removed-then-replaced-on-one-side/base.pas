unit Lists;

interface

type
  TNames = class
  end;
  TOldList = array of string;
  TCounts = array of Integer;

implementation

end.
