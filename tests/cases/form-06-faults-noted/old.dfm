object Form1: TForm1
  Caption = 'Before'
  Hint = 'unclosed
  Tag = 1
end
