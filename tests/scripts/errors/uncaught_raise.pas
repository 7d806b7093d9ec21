uses SysUtils;
procedure Check(V: Integer);
begin
  if V < 0 then
    raise EConvertError.Create('negative: ' + IntToStr(V));
end;
begin
  Check(1);
  Check(-4);
end.
// runtime error: EConvertError: negative: -4 @ 5:5
