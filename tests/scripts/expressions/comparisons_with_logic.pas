// fpc
// Comparisons joined by and, or, xor and not, each in its parentheses, as the dialect wants.
program ComparisonsWithLogic;
var
  A, B: Integer;
  S: string;
begin
  A := 1; B := 2; S := 'abc';
  WriteLn((1 < 2) and (3 > 2), ' ', (1 > 2) or (3 < 2));                 // expect: TRUE FALSE
  WriteLn((A <> B) xor (A = B), ' ', not (A >= B));                      // expect: TRUE TRUE
  WriteLn((A < B) = (S <= 'abd'), ' ', (A in [1, 3]) and (B in [2..4]));   // expect: TRUE TRUE
  WriteLn((A + 1 = B) and not (S = ''), ' ', (A * 2 > B) or (A - B < 0));   // expect: TRUE TRUE
  if (A < B) and (B < 3) and (S > 'ab') then
    WriteLn('inside');                                                    // expect: inside
end.
