// A stack overflow is an ordinary exception: a handler further out may catch it.
uses SysUtils;
var
  Depth: Integer;
procedure Deep;
begin
  Inc(Depth);
  Deep;
end;
begin
  try
    Deep;
  except
    on E: EStackOverflow do WriteLn('stopped at ', Depth);   // expect: stopped at 5999
  end;
end.
