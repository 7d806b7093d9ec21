// steps: 1000
// An endless loop ends at the host's step limit; no handler can catch that.
var
  I: Integer;
begin
  while True do
    try
      I := I + 1;
    except
      WriteLn('caught');
    end;
end.
// runtime error: EScriptAbort: Script stopped: the limit of 1000 steps is reached @ 7:5
