unit Unit2;

interface

uses
  Forms, StdCtrls, BaseDialog, AddressFrame;

type
  TChildForm = class(TBaseDialog)
    NameEdit: TEdit;
    Frame1: TAddressFrame;
    procedure NameEditChange(Sender: TObject);
  end;

implementation

{$R *.dfm}

procedure TChildForm.NameEditChange(Sender: TObject);
begin
end;

end.
