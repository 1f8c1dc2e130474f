unit Views;

interface

uses
<<<<<<< LOCAL
  SysUtils, Templates, Unicode;
||||||| BASE
  SysUtils, OldTemplates, OldText;
=======
  SysUtils, Templates, Base, Unicode;
>>>>>>> REMOTE

procedure Render;

implementation

procedure Render;
begin
  WriteLn('render');
end;

end.
