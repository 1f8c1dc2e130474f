unit Shapes;

interface

uses
  SysUtils;

procedure Alpha;
procedure Beta;
procedure Gamma;

implementation

procedure Alpha;
begin
  WriteLn('alpha');
end;

procedure Beta;
begin
<<<<<<< LOCAL
  WriteLn('beta local');
||||||| BASE
  WriteLn('beta');
=======
  WriteLn('beta remote');
>>>>>>> REMOTE
end;

procedure Gamma;
begin
  WriteLn('gamma');
end;

end.
