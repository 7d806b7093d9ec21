// A script without a main block: the host calls its routines by name.
// call: Hello
var
  Counter: Integer;

procedure Hello;
begin
  Inc(Counter);
  WriteLn('hello ', Counter);   // expect: hello 1
end;
