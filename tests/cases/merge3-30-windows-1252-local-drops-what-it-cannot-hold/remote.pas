unit Arrows;

interface

const
  Sign = '→';
  Name = 'café';
  Size = 3;

implementation

end.
