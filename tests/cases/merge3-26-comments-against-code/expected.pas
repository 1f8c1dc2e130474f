unit Flags;

interface

procedure Apply;

implementation

procedure Apply;
begin
  // first pass, strict
  Check(10);
  Prepare;
<<<<<<< LOCAL
  {$IFDEF TRACE}
||||||| BASE
  {$IFDEF DEBUG}
=======
  {$IFDEF VERBOSE}
>>>>>>> REMOTE
  Trace;
  {$ENDIF}
  Finish;
  // second pass, as before
  // pass two
  Check(2);
end;

end.
