uses Classes;
var
  L: TStringList;
  Count: Integer;
begin
  Count := 99;
  L := TStringList.Create;
  with L do
  begin
    Add('a');
    Add('b');
    WriteLn(Count);      // expect: 2
    WriteLn(Strings[1]); // expect: b
  end;
  WriteLn(Count);        // expect: 99
  L.Free;
end.
