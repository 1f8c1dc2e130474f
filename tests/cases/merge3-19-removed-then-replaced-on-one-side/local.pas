unit Lists;

interface

type
  TNames = class
  end;
  TNameList = array of string;
  TCounts = array of Integer;

implementation

end.
