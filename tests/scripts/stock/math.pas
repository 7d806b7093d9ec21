// fpc
program MathDemo;
uses Math;
begin
  WriteLn(Max(3, 9), ' ', Min(3, 9));          // expect: 9 3
  WriteLn(Floor(-2.5), ' ', Ceil(2.1));        // expect: -3 3
  WriteLn(Round(Power(2, 10)));                // expect: 1024
  WriteLn(InRange(5, 1, 10), ' ', EnsureRange(12, 1, 10));   // expect: TRUE 10
  WriteLn(Sign(-4.2));                         // expect: -1
end.
