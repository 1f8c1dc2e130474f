unit Shapes;

interface

uses
  SysUtils;

procedure Alpha;
procedure Gamma;

implementation

procedure Alpha;
begin
  WriteLn('alpha');
end;
<<<<<<< LOCAL
||||||| BASE
procedure Beta;
begin
  WriteLn('beta');
end;
=======
procedure Beta;
begin
  WriteLn('beta, changed');
end;
>>>>>>> REMOTE

procedure Gamma;
begin
  WriteLn('gamma');
end;

end.
