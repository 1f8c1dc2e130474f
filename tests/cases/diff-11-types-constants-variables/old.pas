unit Decls;

interface

type
  TIndex = 0..99;
  TGone = set of Char;
  TFlags = set of (fA, fB);

const
  Version = 3;
  Untyped = 'x';
  Limits: array[0..1] of Integer = (0, 10);
  Scale: Byte = 2;

resourcestring
  SHello = 'Hello';
  SBye = 'Bye';

var
  Counter: Integer = 0;
  OldName: string;
  Ratio: Single;
  A, B: Integer;

implementation

end.
