unit Shapes;

{ Simple vector shapes that draw themselves on a canvas.
  Used by the drawing board form and by the print preview. }

interface

uses
  Windows, SysUtils, Classes, Graphics;

const
  DefaultPenWidth = 1;
  MaxShapes = 256;
  GridSize: Integer = 8;

resourcestring
  SShapeIndexError = 'Shape index out of range (%d)';
  SUnknownShape = 'Unknown shape';

type
  TShapeKind = (skCircle, skRectangle);

  TShapeEvent = procedure(Sender: TObject; Index: Integer) of object;

  TShape = class(TObject)
  private
    FLeft: Integer;
    FTop: Integer;
    FColor: TColor;
    FOnChange: TNotifyEvent;
    procedure SetColor(Value: TColor);
  protected
    procedure Changed; virtual;
  public
    constructor Create(ALeft, ATop: Integer); virtual;
    procedure Draw(Canvas: TCanvas); virtual; abstract;
    procedure MoveBy(DX, DY: Integer);
    function Area: Double; virtual; abstract;
    property Left: Integer read FLeft;
    property Top: Integer read FTop;
    property Color: TColor read FColor write SetColor default clBlack;
    property OnChange: TNotifyEvent read FOnChange write FOnChange;
  end;

  TCircle = class(TShape)
  private
    FRadius: Integer;
  public
    procedure Draw(Canvas: TCanvas); override;
    function Area: Double; override;
    property Radius: Integer read FRadius write FRadius;
  end;

  TRectangle = class(TShape)
  private
    FWidth, FHeight: Integer;
  public
    procedure Draw(Canvas: TCanvas); override;
    function Area: Double; override;
    procedure Rotate;
    property Width: Integer read FWidth write FWidth;
    property Height: Integer read FHeight write FHeight;
  end;

  TShapeList = class(TList)
  private
    function GetShape(Index: Integer): TShape;
  public
    procedure DrawAll(Canvas: TCanvas);
    property Shapes[Index: Integer]: TShape read GetShape; default;
  end;

var
  ShapeRegistry: TStringList;

function CreateShape(Kind: TShapeKind; X, Y: Integer): TShape;
procedure ScaleShape(Shape: TShape; Factor: Integer);
procedure ClearRegistry;

implementation

const
  KindNames: array[TShapeKind] of string = ('Circle', 'Rectangle');

{ TShape }

constructor TShape.Create(ALeft, ATop: Integer);
begin
  inherited Create;
  FLeft := ALeft;
  FTop := ATop;
  FColor := clBlack;
end;

procedure TShape.SetColor(Value: TColor);
begin
  if Value <> FColor then
  begin
    FColor := Value;
    Changed;
  end;
end;

procedure TShape.Changed;
begin
  if Assigned(FOnChange) then FOnChange(Self);
end;

procedure TShape.MoveBy(DX, DY: Integer);
begin
  Inc(FLeft, DX);
  Inc(FTop, DY);
  Changed;
end;

{ TCircle }

procedure TCircle.Draw(Canvas: TCanvas);
begin
  Canvas.Pen.Color := Color;
  Canvas.Pen.Width := DefaultPenWidth;
  Canvas.Ellipse(Left - FRadius, Top - FRadius, Left + FRadius, Top + FRadius);
end;

function TCircle.Area: Double;
begin
  Result := Pi * Sqr(FRadius);
end;

{ TRectangle }

procedure TRectangle.Draw(Canvas: TCanvas);
begin
  Canvas.Pen.Color := Color;
  Canvas.Rectangle(Left, Top, Left + FWidth, Top + FHeight);
end;

function TRectangle.Area: Double;
begin
  Result := FWidth * FHeight;
end;

procedure TRectangle.Rotate;
var
  T: Integer;
begin
  T := FWidth;
  FWidth := FHeight;
  FHeight := T;
  Changed;
end;

{ TShapeList }

function TShapeList.GetShape(Index: Integer): TShape;
begin
  if (Index < 0) or (Index >= Count) then
    raise EListError.CreateFmt(SShapeIndexError, [Index]);
  Result := TShape(Items[Index]);
end;

procedure TShapeList.DrawAll(Canvas: TCanvas);
var
  I: Integer;
begin
  for I := 0 to Count - 1 do
    Shapes[I].Draw(Canvas);
end;

{ Stand-alone routines }

function CreateShape(Kind: TShapeKind; X, Y: Integer): TShape;
begin
  case Kind of
    skCircle: Result := TCircle.Create(X, Y);
    skRectangle: Result := TRectangle.Create(X, Y);
  else
    raise Exception.Create(SUnknownShape);
  end;
end;

procedure ScaleShape(Shape: TShape; Factor: Integer);
begin
  if Shape is TCircle then
    TCircle(Shape).Radius := TCircle(Shape).Radius * Factor
  else if Shape is TRectangle then
    with TRectangle(Shape) do
    begin
      Width := Width * Factor;
      Height := Height * Factor;
    end;
end;

function ShapeKindName(Kind: TShapeKind): string;
begin
  Result := KindNames[Kind] + '!';
end;

procedure ClearRegistry;
begin
  ShapeRegistry.Clear;
end;

initialization
  ShapeRegistry := TStringList.Create;
  ShapeRegistry.Add('Circle');
  ShapeRegistry.Add('Rectangle');

finalization
  ClearRegistry;
  ShapeRegistry.Free;

end.
