uses Classes;
var
  L: TStringList;
begin
  L := nil;
  L.Free;          // Free on nil does nothing
  L.Add('x');
end.
// runtime error: EAccessViolation: Access to a nil object (member 'Add') @ 7:8
