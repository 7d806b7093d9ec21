var
  V: Variant;
  I: Integer;
begin
  V := 'abc';
  I := V;
end.
// runtime error: EConvertError: Could not convert variant of type (String) into type (Integer) @ 6:3
