object DataModule1: TDataModule1
  OldCreateOrder = False
  Height = 300
  Width = 400
  PixelsPerInch = 120
  object Query1: TQuery
    SQL.Strings = (
      'select * from items')
    Left = 48
    Top = 32
  end
  object Panel: TPanel
    Left = 8
    ExplicitWidth = 231
    DesignSize = (
      231
      51)
  end
end
