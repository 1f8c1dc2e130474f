unit Paths;

interface

const
  Root = 'SRC/WINCE';
  Tail = 'RTL';
  Extra = 1;

implementation

procedure Show;
begin
    Writeln('Done');
end;

end.
