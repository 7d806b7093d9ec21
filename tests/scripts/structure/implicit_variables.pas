// Without OptionExplicit an undeclared name is a variable of its own.
begin
  Count := 3;
  Count := Count + 1;
  WriteLn(Count);   // expect: 4
end.
