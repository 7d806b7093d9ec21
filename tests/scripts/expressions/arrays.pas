// fpc
program Arrays;
var
  Fixed: array[1..3] of Integer;
  Dyn: array of string;
  Grid: array[1..2, 1..2] of Integer;
  I: Integer;

function Sum(const Values: array of Integer): Integer;
var
  K: Integer;
begin
  Result := 0;
  for K := Low(Values) to High(Values) do Result := Result + Values[K];
end;

begin
  for I := 1 to 3 do Fixed[I] := I * I;
  WriteLn(Fixed[1] + Fixed[2] + Fixed[3]);   // expect: 14
  WriteLn(Low(Fixed), ' ', High(Fixed));     // expect: 1 3
  SetLength(Dyn, 2);
  Dyn[0] := 'x';
  Dyn[1] := 'y';
  WriteLn(Length(Dyn), Dyn[0], Dyn[1]);      // expect: 2xy
  Grid[2, 1] := 5;
  Grid[1][2] := 6;
  WriteLn(Grid[2][1] + Grid[1, 2]);          // expect: 11
  WriteLn(Sum([1, 2, 3, 4]));                // expect: 10
end.
