unit Jobs;

interface

procedure Run(Items: TList);

implementation

procedure Run(Items: TList);
begin
  Open;
  Process(Items);
  Close;
end;

end.
