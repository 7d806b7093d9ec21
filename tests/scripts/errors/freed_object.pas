uses Classes;
var
  L, Alias: TStringList;
begin
  L := TStringList.Create;
  Alias := L;
  L.Free;
  WriteLn(Alias.Count);
end.
// runtime error: EAccessViolation: Access to a freed object of class TStringList @ 8:16
