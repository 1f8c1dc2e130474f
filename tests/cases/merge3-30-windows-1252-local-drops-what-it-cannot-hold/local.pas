unit Arrows;

interface

const
  Sign = '->';
  Name = 'café';

implementation

end.
