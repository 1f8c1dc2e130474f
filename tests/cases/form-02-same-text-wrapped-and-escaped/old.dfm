object Form1: TForm1
  Caption = 'Café au lait'
  Hint = 'It''s a long hint, longer than one line of the form file can hold, so wrapped'
  Tag = 255
  Align = alClient
end
