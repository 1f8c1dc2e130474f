object DataModule1: TDataModule1
  OldCreateOrder = False
  Height = 300
  Width = 400
  PixelsPerInch = 96
  object Query1: TQuery
    SQL.Strings = (
      'select * from items')
    Left = 24
    Top = 16
  end
  object Panel: TPanel
    Left = 8
    ExplicitWidth = 185
    DesignSize = (
      185
      41)
  end
end
