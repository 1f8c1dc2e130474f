property X: Integer read FX write FX name N;
procedure Read;
Read(F); Write(F);
property Y: Integer read GetY;
protected
read stored
