// fpc
program SysUtilsNumbers;
uses SysUtils;
var
  N: Integer;
begin
  WriteLn(IntToHex(255, 4));                    // expect: 00FF
  WriteLn(StrToIntDef('12x', -1));              // expect: -1
  WriteLn(FormatFloat('0.00', 3.14159));        // expect: 3.14
  WriteLn(FormatFloat('#,##0.0', 1234567.89));  // expect: 1,234,567.9
  WriteLn(Format('%.3d|%x|%8.3f|%s', [7, 255, -2.5, 'z']));   // expect: 007|FF|  -2.500|z
  WriteLn(FloatToStr(0.5), ' ', FloatToStr(100));             // expect: 0.5 100
  WriteLn(CompareText('abc', 'ABC'), ' ', SameText('x', 'X')); // expect: 0 TRUE
  WriteLn(QuotedStr('it''s'));                  // expect: 'it''s'
  if TryStrToInt('42', N) then WriteLn(N + 1);  // expect: 43
  WriteLn(ExtractFileExt('/a/b.seq'), ' ', ChangeFileExt('x.seq', '.bak'));   // expect: .seq x.bak
  WriteLn(Round(2.5), ' ', Round(3.5), ' ', Trunc(-2.7));   // expect: 2 4 -2
end.
