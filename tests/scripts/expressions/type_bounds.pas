// fpc
// High and Low of an ordinal type give its bounds.
program TypeBounds;
var
  I: Integer;
  N: Integer;
begin
  WriteLn(High(Integer), ' ', Low(Integer));       // expect: 2147483647 -2147483648
  WriteLn(High(LongInt), ' ', Low(LongInt));       // expect: 2147483647 -2147483648
  WriteLn(High(Byte), ' ', Low(Byte));             // expect: 255 0
  WriteLn(High(ShortInt), ' ', Low(ShortInt));     // expect: 127 -128
  WriteLn(High(Word), ' ', Low(Word));             // expect: 65535 0
  WriteLn(High(SmallInt), ' ', Low(SmallInt));     // expect: 32767 -32768
  WriteLn(High(Cardinal), ' ', Low(Cardinal));     // expect: 4294967295 0
  WriteLn(High(Int64), ' ', Low(Int64));           // expect: 9223372036854775807 -9223372036854775808
  WriteLn(High(Boolean), ' ', Low(Boolean));       // expect: TRUE FALSE
  N := 0;
  for I := High(Byte) - 2 to High(Byte) do
    N := N + I;
  WriteLn(N);                                      // expect: 762
  WriteLn(High(Integer) > MaxInt - 1);             // expect: TRUE
end.
