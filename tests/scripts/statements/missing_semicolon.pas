var
  A: Integer;
begin
  A := 1
  A := 2;
end.
// compile error: ';' expected but identifier 'A' found @ 5:3
