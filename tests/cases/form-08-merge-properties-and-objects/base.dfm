object Form1: TForm1
  Caption = 'Orders'
  ClientWidth = 400
  object Panel1: TPanel
    Width = 200
    object Edit1: TEdit
      Text = 'name'
    end
    object Button1: TButton
      Caption = 'OK'
    end
    object Button2: TButton
      Caption = 'Cancel'
    end
  end
  object Panel2: TPanel
    Width = 100
  end
end
