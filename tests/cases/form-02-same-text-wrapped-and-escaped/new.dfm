object Form1: TForm1
  Caption = 'Caf'#233' au lait'
  Hint = 
    'It''s a long hint, longer than one line of the form file can hold,' +
    ' so wrapped'
  Tag = $FF
  Align = alclient
end
