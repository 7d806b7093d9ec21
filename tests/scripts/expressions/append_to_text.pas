// S := S + X grows S where it is stored; the values are those of the expression all the same.
uses SysUtils;
var
  S, T: string;
  V: Variant;
  I: Integer;

function Grow: string;
begin
  S := S + '!';
  Result := 'x';
end;

begin
  S := 'a';
  T := S;
  S := S + 'b';
  S := S + 'c' + 'd';
  WriteLn(S, ' ', T);                 // expect: abcd a
  S := 'q';
  S := S + Grow;                      // S is read before Grow changes it
  WriteLn(S);                         // expect: qx
  S := '12';
  S := S + 3;                         // a text meets a number as a number
  WriteLn(S);                         // expect: 15
  S := '1';
  S := S + '2' + 3 + '4';             // ('12' + 3) + '4'
  WriteLn(S);                         // expect: 19
  S := 'a';
  try
    S := S + 'b' + IntToStr(StrToInt('z'));
  except
    on E: EConvertError do WriteLn('kept ', S);   // expect: kept a
  end;
  V := Unassigned;
  V := V + 'x';
  V := V + Unassigned + 'y';
  WriteLn(V);                         // expect: xy
  S := '';
  for I := 1 to 5 do
    S := S + IntToStr(I) + ',';
  S[1] := '0';
  WriteLn(S, ' ', Length(S));         // expect: 0,2,3,4,5, 10
end.
