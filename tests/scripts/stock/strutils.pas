// fpc
program StrUtilsDemo;
uses SysUtils, StrUtils;
begin
  WriteLn(LeftStr('Gauge', 2), RightStr('Gauge', 2), MidStr('Gauge', 2, 3));   // expect: Gageaug
  WriteLn(ReverseString('abc'), DupeString('xy', 3));                          // expect: cbaxyxyxy
  WriteLn(ContainsText('Hello', 'ELL'), ' ', StartsText('he', 'Hello'));       // expect: TRUE TRUE
  WriteLn(EndsStr('lo', 'Hello'), ' ', ReplaceStr('a.b.c', '.', '/'));         // expect: TRUE a/b/c
  WriteLn(PosEx('b', 'abcabc', 3));                                            // expect: 5
  WriteLn(IfThen(1 > 2, 'yes', 'no'));                                         // expect: no
  WriteLn(IndexText('B', ['a', 'b', 'c']));                                    // expect: 1
end.
