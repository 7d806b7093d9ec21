#!/bin/sh
# Runs the real program in a real X session (a private Xvfb display) as a user does, from a copy
# of the built tree: it starts with the sample sequence folder, a second start ends at once, key
# presses open a master, show the characteristics and the service pages, a user script's Tools
# item that fails shows the error dialog and the program goes on, the window is closed from its
# menu, and the layout and the connection file must then be on disk. A start whose lock cannot be
# made shows the error dialog and ends with a non-zero code once it is closed; a fatal signal
# leaves its report file.
# Screenshots of the main states go to OUT.
#
#   tools/xsession-check.sh [BUILD] [OUT]      (defaults: build/ and BUILD/xsession)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
out=${2:-$build/xsession}

if [ -z "${TEVORA_XSESSION_DISPLAY:-}" ]; then
    for tool in xvfb-run xdotool; do
        command -v $tool >/dev/null || { echo "xsession-check: $tool is missing (make deps)" >&2; exit 2; }
    done
    exec xvfb-run -a -s "-screen 0 1400x900x24 -nolisten tcp" \
        env TEVORA_XSESSION_DISPLAY=1 "$0" "$build" "$out"
fi

work=$(mktemp -d /tmp/tevora-xsession.XXXXXX)
started=""
cleanup()
{
    for pid in $started; do kill -KILL "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail()
{
    echo "xsession-check: FAILED: $*" >&2
    [ -f "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log" >&2
    exit 1
}
step() { echo "xsession-check: $*"; }

mkdir -p "$out"
rm -f "$out"/*.png

# A copy of the built tree: the program, the private Firebird folder and an empty Config folder.
root="$work/root"
mkdir -p "$root/bin" "$root/FB" "$root/Config" "$work/home" "$work/lock"
cp "$build/bin/tevora" "$root/bin/tevora"
(cd "$build/FB" && tar cf - --exclude=./lock --exclude=./tmp .) | (cd "$root/FB" && tar xf -)

export HOME="$work/home" TEVORA_LOCK_DIR="$work/lock" XDG_RUNTIME_DIR="$work" TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"

# A user script whose Tools item fails.
mkdir -p "$root/appdata/Vyx/Tevora/script"
cat >"$root/appdata/Vyx/Tevora/script/TevMain.pas" <<'PAS'
uses
  Classes, SysUtils, VYXLib;

procedure FailingTool(Sender: TObject);
begin
  raise Exception.Create('The tool failed on purpose.');
end;

procedure FormCreate(Sender: TObject);
begin
  Form.MITools.Visible := True;
  Form.MIScript1.Caption := 'Failing Tool';
  Form.MIScript1.Visible := True;
  Form.MIScript1.OnClick := 'FailingTool';
end;
PAS
unset TEVORA_COMMON_APPDATA TEVORA_COMMON_DOCUMENTS
export QT_QPA_PLATFORM=xcb

shot()
{
    sleep 1
    "$build/bin/tevora_screenshot" "$out/$1.png" || fail "screenshot $1"
    step "screenshot $out/$1.png"
}
keys()
{
    for k in "$@"; do
        xdotool key --clearmodifiers "$k"
        sleep 0.4
    done
}
# Prints the id of the visible window with this exact title once it is there (up to two
# minutes); fails when it never comes.
await_window()
{
    i=0
    while :; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -z "$id" ] || { echo "$id"; return 0; }
        i=$((i + 1))
        [ $i -le 240 ] || return 1
        sleep 0.5
    done
}
# Waits until the program has ended (up to a minute); its exit code is in $code.
await_end()
{
    i=0
    while kill -0 "$1" 2>/dev/null; do
        i=$((i + 1))
        [ $i -le 600 ] || fail "$2 did not end"
        sleep 0.1
    done
    code=0
    wait "$1" || code=$?
}

step "first start"
"$here/run-tevora.sh" "$root" >"$work/program.log" 2>&1 &
program=$!
started="$program"
window=$(await_window '  Tevora') || fail "the main window did not appear"
[ -d "$root/documents/Kelmetra/SEQ/Masters" ] || fail "no sample sequence folder"
[ -f "$root/DB/Tevora.fdb" ] || fail "no database in the tree"
xdotool windowfocus --sync "$window" || true
shot 01-started

step "second start"
code=0
timeout 60 "$here/run-tevora.sh" "$root" >"$work/second.log" 2>&1 || code=$?
[ "$code" = 0 ] || fail "a second start ended with $code"
if [ -s "$work/second.log" ]; then fail "a second start said something: $(cat "$work/second.log")"; fi
[ "$(xdotool search --onlyvisible --name '^  Tevora$' | wc -l)" = 1 ] || fail "two windows"

step "open a master from the tree by keys"
eval "$(xdotool getwindowgeometry --shell "$window")"
# The tree is the left panel: a click in its empty lower part gives it the focus.
xdotool mousemove --window "$window" 100 $((HEIGHT - 80)) click 1
keys Home Right Down Right Down
shot 02-master-open

step "characteristics page"
# The page's tab, where the window lays it out (the window sits at the display's corner).
xdotool mousemove --window "$window" 408 133 click 1
shot 03-characteristics

step "service mode"
keys ctrl+shift+F12
shot 04-service-mode
keys ctrl+shift+F12

step "a failing Tools item"
keys alt+f Right
shot 05-tools-menu
keys Return
dialog=$(await_window Error) || fail "the failing tool showed no error dialog"
shot 06-tool-error
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove --window "$dialog" $((WIDTH - 42)) $((HEIGHT - 20)) click 1
sleep 1
kill -0 "$program" 2>/dev/null || fail "the program ended after the error"
[ -z "$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null)" ] || fail "the error dialog stayed"
xdotool windowfocus --sync "$window" || true

step "close from the menu"
keys alt+f e
await_end "$program" "the program"
started=""
[ "$code" = 0 ] || fail "the program ended with $code"
conf="$HOME/.config/Vyx/Tevora.conf"
[ -f "$conf" ] || fail "no layout written"
grep -q 'PnlTreeWidth=' "$conf" || fail "the layout lacks the tree width: $(cat "$conf")"
grep -q "^Database=$root/DB/Tevora.fdb" "$root/Config/Config.ini" ||
    fail "the connection file names another database: $(cat "$root/Config/Config.ini")"

step "a lock that cannot be made"
touch "$work/not-a-folder"
TEVORA_LOCK_DIR="$work/not-a-folder" "$here/run-tevora.sh" "$root" >"$work/program.log" 2>&1 &
program=$!
started="$program"
dialog=$(await_window Error) || fail "no error dialog; the program said: $(cat "$work/program.log")"
xdotool windowfocus --sync "$dialog" || true
shot 07-lock-failure
# The dialog's buttons take no keyboard focus: OK is pressed with the mouse, at the right end of
# the button row.
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove --window "$dialog" $((WIDTH - 42)) $((HEIGHT - 20)) click 1
await_end "$program" "the failed start"
started=""
[ "$code" != 0 ] || fail "a failed start ended with code 0"
grep -q "^Tevora: .*not-a-folder" "$work/program.log" || fail "the failure was not reported"

step "a fatal signal"
"$here/run-tevora.sh" "$root" >"$work/program.log" 2>&1 &
program=$!
started="$program"
await_window '  Tevora' >/dev/null || fail "the main window did not appear again"
kill -SEGV "$(pgrep -P "$program" || echo "$program")" 2>/dev/null || kill -SEGV "$program"
await_end "$program" "the crashed program"
started=""
[ "$code" != 0 ] || fail "a crashed program ended with code 0"
report=$(ls "$TMPDIR"/tevora-crash-*.txt 2>/dev/null | head -n 1)
[ -n "$report" ] || fail "no crash report in $TMPDIR"
grep -q SIGSEGV "$report" || fail "the crash report does not name the signal"

step "passed; screenshots in $out"
