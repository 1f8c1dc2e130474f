unit Services;

interface

uses
  TypInfo;

type
  TA = class
  private
    fName: string;
  public
    constructor Create(T: PTypeInfo; const name: string); overload;
    constructor Create(const name: string); overload;
  end;

implementation

constructor TA.Create(T: PTypeInfo; const name: string); overload;
begin
  inherited Create;
  fName := Trim(name);
end;

constructor TA.Create(const name: string); overload;
begin
  inherited Create;
  fName := name;
end;

end.
