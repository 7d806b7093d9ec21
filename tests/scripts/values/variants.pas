var
  V: Variant;
  A: Variant;
begin
  WriteLn(VarIsEmpty(V));          // expect: TRUE
  V := Null;
  WriteLn(VarIsNull(V));           // expect: TRUE
  V := '12';
  WriteLn(V + 3);                  // expect: 15
  V := V + '3';
  WriteLn(V);                      // expect: 123
  A := VarArrayOf([1, 'two', 3.5]);
  WriteLn(VarArrayHighBound(A, 1), ' ', A[1]);   // expect: 2 two
  WriteLn(7 / 2);                  // expect: 3.5
  WriteLn(Integer(True), ' ', Ord(False));        // expect: 1 0
end.
