// "and" binds tighter than "<": the second comparison of a level is refused where it stands,
// instead of comparing 1 with (2 and 3) and that result with 2.
var
  B: Boolean;
begin
  B := 1 < 2 and 3 > 2;
end.
// compile error: '>' cannot follow a comparison; put each comparison in parentheses @ 6:20
