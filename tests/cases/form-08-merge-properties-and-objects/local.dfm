object Form1: TForm1
  Caption = 'Orders'
  ClientWidth = 400
  object Panel1: TPanel
    Width = 200
    object Edit1: TEdit
      Text = 'customer name'
    end
    object Button2: TButton
      Caption = 'Cancel'
    end
    object Button1: TButton
      Caption = 'OK'
      Default = True
    end
    object Button3: TButton
      Caption = 'Help'
    end
  end
  object Panel2: TPanel
    Width = 100
  end
end
