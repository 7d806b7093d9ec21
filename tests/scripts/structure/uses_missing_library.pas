uses Classes, NoSuchThing;
begin
end.
// compile error: Library 'NoSuchThing' not found @ 1:15
