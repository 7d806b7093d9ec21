procedure Outer;
  procedure Inner;
  begin
  end;
begin
end;
begin
end.
// compile error: Nested routines are not supported @ 2:3
