uses SysUtils, Helpers;
begin
  WriteLn(Shout('hi'));   // expect: HI!
  WriteLn(HelperCalls);   // expect: 1
end.
