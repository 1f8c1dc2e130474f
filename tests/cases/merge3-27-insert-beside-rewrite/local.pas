unit Jobs;

interface

procedure Run(Items: TList);

implementation

procedure Run(Items: TList);
begin
  Open;
  Validate(Items);
  Log('validated');
  Process(Items);
  Close;
end;

end.
