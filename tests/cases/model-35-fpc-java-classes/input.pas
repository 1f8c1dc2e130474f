{ Free Pascal's Java imports: classes and interfaces declared elsewhere, with their package and
  Java name, forward or with a body; methods and fields under their Java names; Java constants
  as "final" variables, and constants in an interface. }
unit JavaImports;
{$mode delphi}
interface
type
  JLObject = class external 'java.lang' name 'Object';
  JLRunnable = interface external 'java.lang' name 'Runnable'
    procedure run(); overload;
  end;
  JLThread = class sealed external 'java.lang' name 'Thread' (JLObject, JLRunnable)
  public
    const
      MIN_PRIORITY = 1;
  strict protected
    var
      fname: JLObject; external name 'name';
  public
    final class var
      fCurrent: JLThread; external name 'current';
    final var
      fId: jlong; external name 'id';
    constructor create(); overload;
    function create_(): JLThread; external name 'create'; overload; virtual;
  end;
  JLComparable = interface external 'java.lang' name 'Comparable' (JLObject)
    const
      ORDER = 0;
    function compareTo(para1: JLObject): jint; overload;
  end;
  JLString = class external 'java.lang' name 'String';
implementation
end.
