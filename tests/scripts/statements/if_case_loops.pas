// fpc
program Flow;
var
  I, N: Integer;
  C: Char;
  S: string;
begin
  for I := 1 to 12 do
    case I of
      1: Write('one ');
      2, 3: Write('few ');
      4..6: Write('some ');
    else
      if I mod 2 = 0 then Write('even ') else Write('odd ');
    end;
  WriteLn;  // expect: one few few some some some odd even odd even odd even
  C := 'k';
  case C of
    'a'..'j': WriteLn('early');
    'k'..'z': WriteLn('late');   // expect: late
  end;
  N := 0;
  for I := 10 downto 1 do
  begin
    if I = 3 then Break;
    if I mod 2 = 1 then Continue;
    N := N + I;
  end;
  WriteLn(N);   // expect: 28
  N := 0;
  while N < 100 do N := N * 2 + 1;
  WriteLn(N);   // expect: 127
  repeat
    Dec(N, 50);
  until N < 0;
  WriteLn(N);   // expect: -23
  S := '';
  for C := 'a' to 'e' do S := S + C;
  WriteLn(S);   // expect: abcde
end.
