// Calls nested in their arguments are nesting as parentheses are, and end with the same error.
begin
  WriteLn(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(Abs(1)))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))));
end.
// compile error: Expression nested too deeply @ 3:407
