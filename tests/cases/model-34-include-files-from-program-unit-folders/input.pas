{ Include files found in the folders of the units that the program and the package beside the
  unit name with their paths; notes/ holds nowhere.inc, but only a comment and strings of the
  program name it. }
unit FoundByProgram;
interface
{$I Settings.inc}
{$I Package.inc}
{$I nowhere.inc}
implementation
end.
