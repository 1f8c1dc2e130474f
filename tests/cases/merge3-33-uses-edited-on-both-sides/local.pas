unit Client;

interface

uses
  SysUtils,
  Classes,
  Generics.Collections,
  IniFiles,
  Registry;

implementation

end.
