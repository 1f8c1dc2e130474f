unit Services;

interface

type
  TA = class
  private
    fName: string;
  public
    constructor Create(T: Pointer; const name: string);
    constructor Create(const name: string);
  end;

implementation

constructor TA.Create(T: Pointer; const name: string);
begin
  inherited Create;
  fName := name;
end;

constructor TA.Create(const name: string);
begin
  inherited Create;
  fName := name;
end;

end.
