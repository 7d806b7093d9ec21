// fpc
program Recursion;

function IsEven(N: Integer): Boolean; forward;

function IsOdd(N: Integer): Boolean;
begin
  if N = 0 then Result := False else Result := IsEven(N - 1);
end;

function IsEven(N: Integer): Boolean;
begin
  if N = 0 then Result := True else Result := IsOdd(N - 1);
end;

function Fact(N: Integer): Int64;
begin
  if N <= 1 then
    Exit(1);
  Result := N * Fact(N - 1);
end;

procedure Early(N: Integer);
begin
  if N > 0 then
    Exit;
  WriteLn('not positive');
end;

begin
  WriteLn(IsEven(10));   // expect: TRUE
  WriteLn(IsOdd(7));     // expect: TRUE
  WriteLn(Fact(20));     // expect: 2432902008176640000
  Early(1);
  Early(0);              // expect: not positive
end.
