function Deep(N: Integer): Integer;
begin
  Result := Deep(N + 1);
end;
begin
  Deep(0);
end.
// runtime error: EStackOverflow: Stack overflow: calls nested too deeply @ 3:17
