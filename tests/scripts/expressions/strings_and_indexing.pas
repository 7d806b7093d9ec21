// fpc
program Strings;
uses SysUtils;
var
  S: string;
  I: Integer;
begin
  S := 'Hello';
  WriteLn(S[1], S[Length(S)]);       // expect: Ho
  S[1] := 'J';
  WriteLn(S);                        // expect: Jello
  WriteLn(Copy(S, 2, 3));            // expect: ell
  WriteLn(Pos('ll', S));             // expect: 3
  Delete(S, 1, 1);
  WriteLn(S);                        // expect: ello
  Insert('Y', S, 1);
  WriteLn(S);                        // expect: Yello
  WriteLn(UpperCase(S), LowerCase('ABC'));   // expect: YELLOabc
  WriteLn(Trim('  x  '), '|');       // expect: x|
  WriteLn(IntToStr(42) + '!');       // expect: 42!
  WriteLn(StrToInt('-17') + 1);      // expect: -16
  WriteLn(Format('%d-%s-%5.2f|%-4s|', [7, 'ab', 3.14159, 'x']));   // expect: 7-ab- 3.14|x   |
  S := '';
  for I := 1 to 3 do S := S + IntToStr(I) + ',';
  WriteLn(S);                        // expect: 1,2,3,
  WriteLn(StringReplace('a-b-c', '-', '+', [rfReplaceAll]));   // expect: a+b+c
  WriteLn(Ord('A'), Chr(66));        // expect: 65B
end.
