object Form1: TForm1
  Caption = 'Orders'
  ExplicitWidth = 420
  Hint = 
    'A long hint that the IDE wraps at sixty-four characters of the li' +
    'ne, changed here'
  Tag = 2
  object Panel1: TPanel
    Width = 200
  end
  object Button9: TButton
    Caption = 'Local'
  end
end
