unit Flags;

interface

procedure Apply;

implementation

procedure Apply;
begin
  // first pass, strict
  Check(10);
  Prepare;
  {$IFDEF TRACE}
  Trace;
  {$ENDIF}
  Finish;
  // second pass, as before
  Check(2);
end;

end.
