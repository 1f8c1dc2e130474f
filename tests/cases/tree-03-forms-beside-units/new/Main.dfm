object MainForm: TMainForm
  Left = 200
  Top = 120
  Caption = 'Orders and invoices'
  PixelsPerInch = 120
  object OkButton: TButton
    Left = 8
    Top = 8
    Caption = 'OK'
    Default = True
  end
end
