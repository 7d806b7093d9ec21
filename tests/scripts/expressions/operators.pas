// fpc
program Operators;
var
  A, B: Integer;
  T, F: Boolean;
begin
  A := 17; B := 5;
  WriteLn(A div B, ' ', A mod B, ' ', -A div B, ' ', -A mod B);   // expect: 3 2 -3 -2
  WriteLn(A and B, ' ', A or B, ' ', A xor B, ' ', not 0);         // expect: 1 21 20 -1
  WriteLn(1 shl 10, ' ', 1024 shr 3);                              // expect: 1024 128
  WriteLn(2 + 3 * 4, ' ', (2 + 3) * 4, ' ', 10 - 2 - 3);           // expect: 14 20 5
  T := True; F := False;
  WriteLn(T and not F, ' ', F or F, ' ', T xor T);                 // expect: TRUE FALSE FALSE
  WriteLn((A > B) and (B > 0));                                    // expect: TRUE
  WriteLn(A in [1, 17, 20], ' ', B in [6..9]);                     // expect: TRUE FALSE
  WriteLn('abc' < 'abd', ' ', 'B' > 'a');                          // expect: TRUE FALSE
end.
