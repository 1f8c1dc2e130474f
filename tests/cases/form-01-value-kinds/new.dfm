object Form1: TForm1
  Left = 12
  Color = $00FF8001
  Scale = 1.5
  Caption = 'Price list'#8364
  Hint = 
    'Shows the prices of every article we sell, with the tax rate of ' +
    'each one'
  Font.Style = [fsBold, fsItalic]
  Visible = False
  PopupMenu = PopupMenu1
  Lines.Strings = (
    'first'
    'inserted'
    'second')
  Columns = <
    item
      Width = 40
    end
    item
      Width = 80
    end
    item
      Width = 20
    end>
  Glyph.Data = {
    0A0B0D}
  object Button1: TButton
    Caption = 'OK'
    OnClick = Button1Click2
  end
end
