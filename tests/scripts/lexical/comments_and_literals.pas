// fpc
program Literals;
{ a brace comment }
(* a paren-star
   comment *)
{$H+}{$R-} // directives are ignored
var
  S: string;
begin
  WriteLn($FF);            // expect: 255
  WriteLn('it''s');        // expect: it's
  S := 'a'#65#$42'c';
  WriteLn(S);              // expect: aABc
  WriteLn(Length(#13#10)); // expect: 2
  WriteLn(1.5 * 2 = 3);    // expect: TRUE
end.
