unit Unit1;

interface

uses
  Classes, Forms, StdCtrls, ExtCtrls;

type
  TBaseForm = class(TForm)
    procedure HelpClick(Sender: TObject);
  end;

  TMainForm = class(TBaseForm)
    Panel1: TPanel;
    OkButton: TButton;
    CaptionLabel: TEdit;
    Memo1: TMemo;
    procedure OkButtonClick(Sender: TObject);
  private
    CancelButton: TButton;
    FNames: TStringList;
  public
    Count: Integer;
  end;

implementation

{$R *.dfm}

procedure TBaseForm.HelpClick(Sender: TObject);
begin
end;

procedure TMainForm.OkButtonClick(Sender: TObject);
begin
end;

end.
