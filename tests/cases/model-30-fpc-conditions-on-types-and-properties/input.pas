{ Conditions on the size of Integer, which the mode sets, and on the target's own types, and one
  PROPERTY that declares two global properties. }
unit Conds;
{$mode objfpc}
interface
{$if sizeof(Integer) = 4}
const WideInteger = True;
{$else}
const NarrowInteger = True;
{$endif}
{$if not declared(Comp)}
type Comp = type Int64;
{$endif}
{$if declared(QWord)}
type PQWord = ^QWord;
{$endif}
function GetZero: Integer;
function GetOne: Integer;
property
  Zero: Integer read GetZero;
  One: Integer read GetOne;
implementation
function GetZero: Integer;
begin
  Result := 0;
end;
function GetOne: Integer;
begin
  Result := 1;
end;
end.
