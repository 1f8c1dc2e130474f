unit Services;

interface

uses
  TypInfo;

type
  TA = class
  private
    fName: string;
  public
    constructor Create(T: PTypeInfo; const name: string);
  end;

implementation

constructor TA.Create(T: PTypeInfo; const name: string);
begin
  inherited Create;
  fName := Trim(name);
end;

end.
