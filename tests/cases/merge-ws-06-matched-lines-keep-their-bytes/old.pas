unit Paths;

interface

const
  Root = 'src/wince';
  Tail = 'rtl';

implementation

procedure Show;
begin
  Writeln('Done');
end;

end.
