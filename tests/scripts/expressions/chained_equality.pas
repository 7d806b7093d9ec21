var
  A, B, C: Boolean;
begin
  A := True; B := False; C := False;
  if A = B = C then
    WriteLn('chained');
end.
// compile error: '=' cannot follow a comparison; put each comparison in parentheses @ 5:12
