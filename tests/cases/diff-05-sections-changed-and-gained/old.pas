unit Sections;

interface

var
  Log: TStringList;

implementation

initialization
  Log := TStringList.Create;
end.
