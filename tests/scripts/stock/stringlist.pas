uses Classes;
var
  L: TStringList;
  I: Integer;
begin
  L := TStringList.Create;
  try
    L.Add('Limit=5');
    L.Add('Name=Bore');
    L.Values['Unit'] := 'mm';
    WriteLn(L.Count, ' ', L.Values['name'], ' ', L.Names[2]);   // expect: 3 Bore Unit
    L.Sorted := True;
    for I := 0 to L.Count - 1 do Write(L[I], ';');
    WriteLn;                                                    // expect: Limit=5;Name=Bore;Unit=mm;
    WriteLn(L.IndexOf('unit=mm'));                              // expect: 2
    L.Sorted := False;
    L.Delete(0);
    L.CommaText := L.CommaText + ',"a b"';
    WriteLn(L.CommaText);                                       // expect: Name=Bore,Unit=mm,"a b"
  finally
    L.Free;
  end;
  try
    L := TStringList.Create;
    L.Delete(3);
  except
    on E: Exception do WriteLn('error: ', E.ClassName);         // expect: error: Exception
  end;
end.
