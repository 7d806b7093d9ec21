procedure Bump(var X: Integer);
begin
  Inc(X);
end;
begin
  Bump(3);
end.
// compile error: Variable required @ 6:8
