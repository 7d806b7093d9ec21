// Case over strings, which the dialect allows and Free Pascal's Delphi mode does too.
// fpc
program CaseStrings;
procedure Classify(const S: string);
begin
  case S of
    'apple', 'pear': WriteLn(S, ' is fruit');
    'carrot': WriteLn(S, ' is a vegetable');
  else
    WriteLn(S, ' is unknown');
  end;
end;
begin
  Classify('pear');     // expect: pear is fruit
  Classify('carrot');   // expect: carrot is a vegetable
  Classify('stone');    // expect: stone is unknown
end.
