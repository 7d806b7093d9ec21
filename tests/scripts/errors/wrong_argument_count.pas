function Add(A, B: Integer): Integer;
begin
  Result := A + B;
end;
begin
  WriteLn(Add(1));
end.
// compile error: Not enough actual parameters @ 6:14
