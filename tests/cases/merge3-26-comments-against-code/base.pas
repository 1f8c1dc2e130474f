unit Flags;

interface

procedure Apply;

implementation

procedure Apply;
begin
  // first pass
  Check(1);
  Prepare;
  {$IFDEF DEBUG}
  Trace;
  {$ENDIF}
  Finish;
  // second pass
  Check(2);
end;

end.
