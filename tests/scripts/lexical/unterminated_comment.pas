begin
  { never closed
end.
// compile error: Unterminated comment @ 2:3
