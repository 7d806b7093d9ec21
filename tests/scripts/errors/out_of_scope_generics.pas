var
  L: TList<Integer>;
begin
end.
// compile error: Generics are not supported @ 2:11
