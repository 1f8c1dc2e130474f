unit Folding;

interface

implementation

procedure Long;
begin
  Step1;
  Step2;
  Step3;
  Step4;
  Step5;
  Step6;
  Step7;
  Step8;
  Step9;
  Step10;
  Step11;
  Step12;
  Step13;
  Step14;
  Step15;
  Step16;
  Step17;
  Step18;
  Step19;
  Step20;
end;

end.
