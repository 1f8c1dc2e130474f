unit Acme.Orders.Model platform;
interface
uses System.SysUtils, Acme.Base in 'Acme.Base.pas';
type
  TOrder = class(Acme.Base.TEntity)
  end;
  TRef = System.Classes.TComponent;
procedure Save(const AOrder: Acme.Base.TEntity);
implementation
procedure Save(const AOrder: Acme.Base.TEntity);
begin
end;
end.
