// fpc
program Ranges;
var
  I, Total: Integer;
  myVar: Integer;
begin
  Total := 0;
  for I := 1 to 5 do Total := Total + I;
  WriteLn(Total);         // expect: 15
  MYVAR := 7;
  writeln(myvar * 2);     // expect: 14
  BEGIN WriteLn(I) END;   // expect: 5
end.
