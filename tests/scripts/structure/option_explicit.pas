// option: explicit
begin
  Undeclared := 5;
end.
// compile error: Undeclared identifier: 'Undeclared' @ 3:3
