// fpc
// A routine that walks a tree recursively goes five thousand levels deep.
var
  Visited: Integer;
function Walk(Level, Deepest: Integer): Integer;
var
  I: Integer;
begin
  Inc(Visited);
  Result := Level;
  if Level < Deepest then
    for I := 1 to 1 do
      if I = 1 then
        Result := Walk(Level + 1, Deepest);
end;
begin
  WriteLn(Walk(1, 5000), ' ', Visited);   // expect: 5000 5000
end.
