// fpc
program Dates;
uses SysUtils, DateUtils;
var
  D: TDateTime;
  Y, M, Dd: Word;
begin
  D := EncodeDate(2024, 2, 28);
  D := IncDay(D, 2);
  DecodeDate(D, Y, M, Dd);
  WriteLn(Y, '-', M, '-', Dd);                      // expect: 2024-3-1
  WriteLn(FormatDateTime('yyyy/mm/dd', D));          // expect: 2024-03-01
  WriteLn(DaysBetween(D, EncodeDate(2024, 1, 1)));   // expect: 60
  WriteLn(DayOfWeek(EncodeDate(2024, 3, 3)));        // expect: 1
  WriteLn(YearOf(D), ' ', MonthOf(D), ' ', DayOf(D));   // expect: 2024 3 1
  WriteLn(IsLeapYear(2024), ' ', IsLeapYear(1900));  // expect: TRUE FALSE
end.
