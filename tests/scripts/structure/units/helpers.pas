unit Helpers;

interface

function Shout(const S: string): string;

var
  HelperCalls: Integer;

implementation

function Shout(const S: string): string;
begin
  Inc(HelperCalls);
  Result := UpperCase(S) + '!';
end;

end.
