// fpc
program Integers;
var
  I: Integer;
  B: Byte;
  W: Word;
  L: Int64;
begin
  I := MaxInt;
  I := I + 1;
  WriteLn(I);                 // expect: -2147483648
  B := 250;
  B := B + 10;
  WriteLn(B);                 // expect: 4
  W := 0;
  W := W - 1;
  WriteLn(W);                 // expect: 65535
  L := 1;
  L := L shl 40;
  WriteLn(L);                 // expect: 1099511627776
  WriteLn(Odd(7), ' ', Abs(-5), ' ', Sqr(12));   // expect: TRUE 5 144
  WriteLn($7FFFFFFF div 3, ' ', -17 mod 5);       // expect: 715827882 -2
end.
