unit Sections;

interface

var
  Log: TStringList;

implementation

initialization
  Log := TStringList.Create;
  Log.Add('start');

finalization
  Log.Free;
end.
