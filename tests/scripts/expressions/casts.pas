uses Classes;
var
  O: TObject;
  L: TStringList;
begin
  WriteLn(Integer('A'));          // expect: 65
  WriteLn(Char(66));              // expect: B
  WriteLn(Boolean(0));            // expect: FALSE
  WriteLn(Integer(3.0) + 1);      // expect: 4
  L := TStringList.Create;
  O := L;
  WriteLn(O is TStringList);      // expect: TRUE
  TStringList(O).Add('via cast');
  WriteLn((O as TStringList).Count);   // expect: 1
  WriteLn(L[0]);                  // expect: via cast
  L.Free;
  WriteLn(nil = nil);             // expect: TRUE
end.
