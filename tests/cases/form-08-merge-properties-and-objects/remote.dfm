object Form1: TForm1
  Caption = 'All orders'
  ClientWidth = 400
  object Panel1: TPanel
    Width = 250
    object Button1: TButton
      Caption = 'OK'
    end
    object Button2: TButton
      Caption = 'Cancel'
    end
  end
  object Panel2: TPanel
    Width = 100
    object Edit1: TEdit
      Text = 'name'
    end
    object Label1: TLabel
      Caption = 'Name:'
    end
  end
end
