unit Client;

interface

uses
  SysUtils,
  Classes,
  Contnrs,
  IniFiles;

implementation

end.
