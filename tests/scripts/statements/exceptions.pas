// fpc
program Exceptions;
uses SysUtils;

procedure Fail(const Msg: string);
begin
  raise Exception.Create(Msg);
end;

var
  Trace: string;
  Zero: Integer;
begin
  try
    Fail('boom');
  except
    on E: Exception do WriteLn('caught ', E.Message);   // expect: caught boom
  end;
  Zero := 0;
  try
    WriteLn(10 div Zero);
  except
    on E: EConvertError do WriteLn('wrong handler');
    on E: EDivByZero do WriteLn('div: ', E.ClassName);   // expect: div: EDivByZero
  end;
  try
    try
      Fail('inner');
    finally
      Trace := 'finally ran';
    end;
  except
    WriteLn(Trace);   // expect: finally ran
  end;
  try
    try
      Fail('again');
    except
      on E: Exception do
      begin
        WriteLn('first ', E.Message);   // expect: first again
        raise;
      end;
    end;
  except
    on E: Exception do WriteLn('second ', E.Message);   // expect: second again
  end;
  try
    StrToInt('abc');
  except
    on E: EConvertError do WriteLn('convert');   // expect: convert
  end;
end.
