unit Services;

interface

type
  TA = class
  private
    fName: string;
  public
    constructor Create(T: Pointer; const serviceName: string);
  end;

implementation

constructor TA.Create(T: Pointer; const serviceName: string);
begin
  inherited Create;
  fName := serviceName;
end;

end.
