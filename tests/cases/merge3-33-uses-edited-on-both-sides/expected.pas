unit Client;

interface

uses
  SysUtils,
  Math,
  Generics.Collections,
  IniFiles,
  Registry;

implementation

end.
