unit Decls;

interface

type
  TIndex = 0..199;
  TFlags = set of (fA, fB);
  TAdded = array[TIndex] of Byte;

const
  Version = 4;
  Limits: array[0..1] of Integer = (0, 10);
  Scale: Word = 2;

resourcestring
  SHello = 'Hello, world';
  SBye = 'BYE';

var
  Counter: Integer = 1;
  NewName: string;
  Ratio: Double;
  A, B: Integer;

implementation

end.
