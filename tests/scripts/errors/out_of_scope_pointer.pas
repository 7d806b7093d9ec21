var
  P: ^Integer;
begin
end.
// compile error: Pointers are not supported @ 2:6
