inherited ChildForm: TChildForm
  Caption = 'Child'
  inherited ButtonPanel: TPanel
    inherited OkButton: TButton
      Caption = 'Save'
    end
    object NameEdit: TEdit
      OnChange = NameEditChange
    end
  end
  inline Frame1: TAddressFrame
    inherited StreetEdit: TEdit
      OnChange = NameEditChange
    end
    object NoteLabel: TLabel
    end
  end
end
