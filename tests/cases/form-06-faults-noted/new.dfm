object Form1: TForm1
  Caption = 'After'
  Hint = 'unclosed
  Tag = 1
end
