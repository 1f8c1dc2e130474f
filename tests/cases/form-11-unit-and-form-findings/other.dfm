object OtherForm: TOtherForm
  Caption = 'Other'
end
