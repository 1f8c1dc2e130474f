{ Names given a text by a macro, the fields of a nested variant part in a record with methods,
  a helper of a plain type, and conversions that differ only in their result. }
unit Macros;
{$mode objfpc}{$modeswitch advancedrecords}{$modeswitch typehelpers}
{$macro on}
interface
{$define TProcessName:=TProcess}
{$define PAIR_PARAMS := TKey, TValue}
{$define NoDirective:=}
type
  TProcessName = class(TObject)
    Count: Integer;
  end;
  generic TMap<PAIR_PARAMS> = class
  end;
  TData = record
    function Kind: Integer;
    case Tag: Integer of
      0: (Small: Byte;
          case Boolean of
            False: (Managed: Integer deprecated 'no longer kept');
            True: (Total: Integer));
      1: (Large: Int64);
  end;
  TIntHelper = type helper for Integer
    function Twice: Integer;
  end;
{$undef TProcessName}
  TProcessName = Integer;
operator := (const A: Integer) R: Int64; NoDirective
operator := (const A: Integer) R: Double;
implementation
function TData.Kind: Integer;
begin
  Result := Tag;
end;
function TIntHelper.Twice: Integer;
begin
  Result := Self * 2;
end;
operator := (const A: Integer) R: Int64;
begin
  R := A;
end;
operator := (const A: Integer) R: Double;
begin
  R := A;
end;
end.
