type
  TPoint = record X, Y: Integer; end;
begin
end.
// compile error: Type declarations are not supported @ 1:1
