uses Classes;
var
  Owner, Child: TComponent;
begin
  Owner := TComponent.Create(nil);
  Child := TComponent.Create(Owner);
  Child.Name := 'Probe';
  WriteLn(Owner.ComponentCount, ' ', Owner.FindComponent('probe').Name);   // expect: 1 Probe
  WriteLn(Child.Owner = Owner);                                           // expect: TRUE
  Owner.Free;   // frees the components it owns
  WriteLn(Child.Name);
end.
// runtime error: EAccessViolation: Access to a destroyed object of class TComponent @ 11:16
