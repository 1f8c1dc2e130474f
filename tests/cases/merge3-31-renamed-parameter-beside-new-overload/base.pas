unit Services;

interface

type
  TA = class
  private
    fName: string;
  public
    constructor Create(T: Pointer; const name: string);
  end;

implementation

constructor TA.Create(T: Pointer; const name: string);
begin
  inherited Create;
  fName := name;
end;

end.
