unit Shapes;

interface

uses
  SysUtils;

procedure Show(I: Integer); overload;
procedure Show(const S: string); overload;

implementation

procedure Show(I: Integer); overload;
begin
  WriteLn(I);
end;

procedure Show(const S: string); overload;
begin
  WriteLn(S);
end;

end.
