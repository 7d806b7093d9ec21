procedure P(A: Integer); overload;
begin
end;
begin
end.
// compile error: Overloaded routines are not supported @ 1:26
