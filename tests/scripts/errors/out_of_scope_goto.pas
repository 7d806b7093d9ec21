begin
  goto Done;
end.
// compile error: 'goto' is not supported @ 2:3
