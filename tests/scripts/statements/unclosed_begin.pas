procedure P;
begin
  if True then
  begin
    WriteLn('x');
end;

begin
end.
// compile error: 'end' expected (to close 'begin' at line 2) but '.' found @ 9:4
