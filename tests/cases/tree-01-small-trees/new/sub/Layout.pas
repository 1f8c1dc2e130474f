unit Layout;

interface

{ only layout and comments differ }
procedure   P;

implementation

procedure P;
begin end;

end.
