object Form1: TForm1
  Left = 10
  Color = $00FF8000
  Scale = 1.25
  Caption = 'Price list'
  Hint = 
    'Shows the prices of every article we sell, with the tax rate of ' +
    'each'
  Font.Style = [fsBold]
  Visible = True
  PopupMenu = nil
  Lines.Strings = (
    'first'
    'second'
    'third')
  Columns = <
    item
      Width = 40
    end
    item
      Width = 60
    end>
  Glyph.Data = {
    0A0B0C}
  object Button1: TButton
    Caption = 'OK'
    OnClick = Button1Click
  end
end
