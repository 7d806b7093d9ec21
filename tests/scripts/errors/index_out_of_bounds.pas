var
  S: string;
begin
  S := 'abc';
  WriteLn(S[4]);
end.
// runtime error: ERangeError: Index 4 out of bounds (1..3) @ 5:12
