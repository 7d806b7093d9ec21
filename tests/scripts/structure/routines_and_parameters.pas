// fpc
program Routines;

function Add(A, B: Integer): Integer;
begin
  Result := A + B;
end;

function Twice(X: Integer): Integer;
begin
  Twice := X * 2;   // assignment to the function name
end;

procedure Swap(var A, B: Integer);
var
  T: Integer;
begin
  T := A;
  A := B;
  B := T;
end;

procedure GetPair(out X: Integer; const Y: Integer);
begin
  X := Y + 1;
end;

function Greet(const Name: string; const Greeting: string = 'Hello'): string;
begin
  Result := Greeting + ', ' + Name;
end;

var
  P, Q: Integer;
begin
  WriteLn(Add(2, 3));            // expect: 5
  WriteLn(Twice(21));            // expect: 42
  P := 1; Q := 2;
  Swap(P, Q);
  WriteLn(P, ' ', Q);            // expect: 2 1
  GetPair(P, 9);
  WriteLn(P);                    // expect: 10
  WriteLn(Greet('Ann'));         // expect: Hello, Ann
  WriteLn(Greet('Bob', 'Hi'));   // expect: Hi, Bob
end.
