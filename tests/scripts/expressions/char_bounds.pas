// The dialect's Char is a UTF-16 code unit.
begin
  WriteLn(Ord(High(Char)), ' ', Ord(Low(Char)));   // expect: 65535 0
end.
