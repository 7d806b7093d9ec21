// fpc
program ShortCircuit;
var
  Calls: Integer;

function Touch(V: Boolean): Boolean;
begin
  Inc(Calls);
  Result := V;
end;

begin
  Calls := 0;
  if False and Touch(True) then WriteLn('no');
  if True or Touch(True) then WriteLn('yes');   // expect: yes
  WriteLn(Calls);                               // expect: 0
end.
