// fpc
program Constants;
const
  Limit = 10;
  Name = 'Gauge';
  Factor: Integer = 3;   // a typed constant can be assigned to
  Codes: array[0..2] of Integer = (7, 8, 9);
begin
  WriteLn(Limit * 2);          // expect: 20
  WriteLn(Name + '!');         // expect: Gauge!
  Factor := Factor + 1;
  WriteLn(Factor);             // expect: 4
  WriteLn(Codes[1]);           // expect: 8
end.
