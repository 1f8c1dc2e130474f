unit Client;

interface

uses
  SysUtils,
  Math,
  Contnrs,
  IniFiles;

implementation

end.
