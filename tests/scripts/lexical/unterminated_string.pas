begin
  WriteLn('abc);
end.
// compile error: Unterminated string @ 2:11
