object MainForm: TMainForm
  Caption = 'Main'
  OnShow = FormShow
  object Panel1: TPanel
    object OkButton: TButton
      Caption = 'OK'
      OnClick = OkButtonClick
    end
    object CancelButton: TButton
      Caption = 'Cancel'
      OnClick = CancelButtonClick
    end
    object HelpButton: TButton
      OnClick = HelpClick
    end
  end
  object CaptionLabel: TLabel
    Caption = 'Name'
  end
end
