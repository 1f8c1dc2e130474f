unit Lists;

interface

type
  TNames = class
  end;
<<<<<<< LOCAL
  TNameList = array of string;
||||||| BASE
  TOldList = array of string;
=======
>>>>>>> REMOTE
  TCounts = array of Integer;

implementation

end.
