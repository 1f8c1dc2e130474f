unit Flags;

interface

procedure Apply;

implementation

procedure Apply;
begin
  // the first pass
  Check(1);
  Prepare;
  {$IFDEF VERBOSE}
  Trace;
  {$ENDIF}
  Finish;
  // pass two
  Check(2);
end;

end.
