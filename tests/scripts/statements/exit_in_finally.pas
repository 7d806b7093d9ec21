// fpc
program ExitFinally;
function Guarded: Integer;
begin
  Result := 1;
  try
    Exit(2);
  finally
    WriteLn('cleanup');   // expect: cleanup
  end;
  Result := 3;
end;
var
  I, Count: Integer;
begin
  WriteLn(Guarded);       // expect: 2
  Count := 0;
  for I := 1 to 5 do
    try
      if I = 3 then Continue;
      Inc(Count);
    finally
      Inc(Count, 10);
    end;
  WriteLn(Count);         // expect: 54
end.
