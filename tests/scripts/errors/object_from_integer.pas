// A number is never taken for an object: casting one to a class is an error, not a reference
// to whatever lies at that address.
var
  O: TObject;
begin
  O := TObject(12345);
  WriteLn(O.ClassName);
end.
// runtime error: EInvalidCast: Invalid class typecast @ 6:15
