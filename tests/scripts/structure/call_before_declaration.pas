// A script may call a routine declared further down, without "forward" (unlike Free Pascal).
procedure First;
begin
  Second;
end;

procedure Second;
begin
  WriteLn('second');
end;

begin
  First;   // expect: second
end.
