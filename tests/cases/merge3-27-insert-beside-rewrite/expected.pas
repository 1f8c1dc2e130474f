unit Jobs;

interface

procedure Run(Items: TList);

implementation

procedure Run(Items: TList);
begin
  Open;
  Validate(Items);
  Log('validated');
  Process(Items, True);
  Close;
end;

end.
