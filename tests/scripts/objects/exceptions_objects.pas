uses SysUtils;
var
  E: Exception;
begin
  E := EConvertError.Create('custom');
  WriteLn(E is Exception, ' ', E.ClassName, ' ', E.Message);   // expect: TRUE EConvertError custom
  try
    raise E;
  except
    on X: EConvertError do WriteLn('caught ', X.Message);      // expect: caught custom
  end;
  try
    raise Exception.CreateFmt('%d of %d', [1, 2]);
  except
    on X: Exception do WriteLn(X.Message);                     // expect: 1 of 2
  end;
end.
