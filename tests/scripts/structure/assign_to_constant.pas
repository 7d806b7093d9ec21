const
  Limit = 10;
begin
  Limit := 5;
end.
// compile error: Left side cannot be assigned to @ 4:9
