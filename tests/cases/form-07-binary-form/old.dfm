object Form1: TForm1
  Left = -5
  Caption = 'Binary '#8364
  Scale = 2.5
  Big = 5000000000
  Anchors = [akLeft, akTop]
  Visible = True
  Lines.Strings = (
    'one'
    'three')
  Columns = <
    item
      Width = 40
    end>
  Data = {
    00FF10}
  object Panel1: TPanel
    Caption = ''
  end
end
