unit Main;

interface

uses Forms, StdCtrls;

type
  TMainForm = class(TForm)
    OkButton: TButton;
  end;

implementation

{$R *.dfm}

end.
