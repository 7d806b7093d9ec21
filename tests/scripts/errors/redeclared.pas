var
  A: Integer;
  A: string;
begin
end.
// compile error: Identifier redeclared: 'A' @ 3:3
