var
  A, B: Integer;
begin
  A := 1;
  B := 0;
  WriteLn(A div B);
end.
// runtime error: EDivByZero: Division by zero @ 6:13
