// Case over strings: the dialect allows it; Free Pascal's Delphi mode does not, so this
// fixture has no Free Pascal comparison.
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
