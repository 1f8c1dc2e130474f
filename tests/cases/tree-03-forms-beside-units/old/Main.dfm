object MainForm: TMainForm
  Left = 200
  Top = 120
  Caption = 'Orders'
  PixelsPerInch = 96
  object OkButton: TButton
    Left = 8
    Top = 8
    Caption = 'OK'
  end
end
