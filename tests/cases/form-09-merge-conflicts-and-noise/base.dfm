object Form1: TForm1
  Caption = 'Orders'
  ExplicitWidth = 400
  Hint = 
    'A long hint that the IDE wraps at sixty-four characters of the li' +
    'ne'
  Tag = 1
  object Panel1: TPanel
    Width = 200
  end
end
