unit Impl;
interface
type
  TFoo = class
    procedure Bar;
    function Baz(A: Integer): Integer; overload;
    function Baz(S: string): string; overload;
  end;
function Over(A: Integer): Integer; overload;
function Over(S: string): string; overload;
implementation
procedure Helper; forward;
function Ext(A: Integer): Integer; stdcall; external 'lib.dll' name 'Ext';
procedure TFoo.Bar;
  procedure Inner;
  resourcestring
    SInner = 'inner';
  begin
  end;
var
  X: Integer;
begin
  Helper;
end;
function TFoo.Baz(A: Integer): Integer;
begin
  Result := A;
end;
function TFoo.Baz(S: string): string;
begin
  Result := S;
end;
function Over(A: Integer): Integer;
begin
  Result := A;
end;
function Over(S: string): string;
begin
  Result := S + S;
end;
procedure Helper;
begin
end;
end.
