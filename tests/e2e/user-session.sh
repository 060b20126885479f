#!/bin/bash
# A new user's first session on a real X display, driven only by keyboard and
# mouse: open the sample file with its password, make a group and a record
# from a template, type into a field, search for it, save and quit. Then the
# saved file is checked with the command-line tool.
#   user-session.sh PROGRAM_DIR SCREENGRAB SCREENSHOT_DIR
set -euo pipefail
program_dir=$1
screengrab=$2
shots=$3
mkdir -p "$shots"
rm -f "$shots"/*.png

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Runs a check until it holds, for ten seconds at most. It looks twenty
# times a second: every wait of the session ends that soon after its
# condition holds.
poll() { for _ in $(seq 200); do "$@" && return 0; sleep 0.05; done; false; }

step=0
shot() {
    step=$((step + 1))
    QT_QPA_PLATFORM=xcb "$screengrab" "$shots/$(printf '%02d' "$step")-$1.png" || true
}

fail() {
    echo "FAIL: $*" >&2
    shot failure
    exit 1
}

# A copy of the program folder, so the session's settings stay out of the build.
cp -r "$program_dir" "$work/program"
rm -f "$work/program/zantrove.ini"
cp "$program_dir/sample.zv" "$work/mine.zv"

display=
for number in $(seq 91 140); do
    if [ ! -e "/tmp/.X11-unix/X$number" ] && [ ! -e "/tmp/.X$number-lock" ]; then display=$number; break; fi
done
[ -n "$display" ] || fail "no free X display number"
# Without -noreset the server starts over whenever its last client leaves, as
# the check below does: a client connecting just then is turned away.
Xvfb ":$display" -screen 0 1280x900x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$display"
poll xdotool getmouselocation >/dev/null 2>&1 || fail "the X server did not start"
openbox >"$shots/openbox.log" 2>&1 &
pids+=($!)
# A session bus of the session's own, on which the desktop's screen saver speaks.
{ read -r DBUS_SESSION_BUS_ADDRESS; read -r bus_pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS
pids+=("$bus_pid")
# The window manager is up once it names itself on the root window.
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
poll wm_up || fail "the window manager did not start: $(cat "$shots/openbox.log")"

visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1; }
shown() { [ -n "$(visible_window "$1")" ]; }
wait_for_window() { poll shown "$1" || fail "no window titled '$1'"; }

focused() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$(visible_window "$1")" ]; }
gone() { [ -z "$(visible_window "$1")" ]; }
# Keys go to the window that has the focus: typing waits until it is this one.
wait_for_focus() { wait_for_window "$1"; poll focused "$1" || fail "the window titled '$1' has no focus"; }
wait_until_gone() { poll gone "$1" || fail "the window titled '$1' is still open"; }

# Clicks at a point of the main window's client area.
click_main() {
    local window
    window=$(visible_window 'Zantrove 1\.1$')
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1
}

# The window manager's stacking, bottom first, as decimal ids.
stacking() {
    for id in $(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/^[^#]*#//; s/,/ /g'); do printf '%d\n' "$id"; done
}

# A fixed border: the window manager offers neither resizing nor maximising.
# The actions come a moment after the window: closing is always among them.
allowed_actions() { xprop -id "$1" _NET_WM_ALLOWED_ACTIONS 2>/dev/null; }
closable() { allowed_actions "$1" | grep -q _NET_WM_ACTION_CLOSE; }
fixed_border() {
    poll closable "$1" || true
    case "$(allowed_actions "$1")" in *_NET_WM_ACTION_RESIZE* | *_NET_WM_ACTION_MAXIMIZE*) fail "the $2 can be resized or maximised" ;; esac
}

no_message_box() {
    for title in Information Error Warning Confirm; do
        [ -z "$(visible_window "^$title")" ] || { shot "unexpected-$title"; fail "a message box '$title' is open"; }
    done
}

QT_QPA_PLATFORM=xcb XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" \
    "$work/program/zantrove" "$work/mine.zv" >"$work/program.log" 2>&1 &
app=$!
pids+=($app)

wait_for_window '^Zantrove 1.1'
# Once the window manager has the prompt, it is on top of everything, the
# splash included, and has the focus.
prompt=$(visible_window '^Zantrove 1.1')
stacked() { stacking | grep -qx "$1"; }
poll stacked "$prompt" || true
[ "$(stacking | tail -1)" = "$prompt" ] || { shot prompt-covered; fail "the password prompt is not on top"; }
# The window manager gives the focus a moment after it stacks the window.
active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
poll active "$prompt" || fail "the password prompt has no focus"
fixed_border "$prompt" "password prompt"
shot password-prompt
xdotool type --delay 12 sample
xdotool key Return
# The title names the open file.
wait_for_window '^mine\.zv '
no_message_box
shot sample-opened
fixed_border "$(visible_window '^mine\.zv ')" "main window"

click_main 62 75                    # New Group
wait_for_focus '^New Group'
xdotool type --delay 12 "E2E Group"
shot new-group
xdotool key Return
wait_until_gone '^New Group'
no_message_box

click_main 150 75                   # New Record, in the new group
wait_for_focus '^New Record'
xdotool type --delay 12 "E2E Login"
xdotool key Tab Tab                 # the record type list
xdotool type --delay 12 "Web"
shot new-record
xdotool key Return
wait_until_gone '^New Record'
no_message_box

xdotool key Tab                     # from the tree to the first field, the URL
xdotool type --delay 12 "e2e.example.org"
wait_for_window '^mine\.zv\* '         # marked as changed
shot field-typed

xdotool key ctrl+f
wait_for_focus '^Search'
xdotool type --delay 12 "e2e.example"
xdotool key Return
wait_until_gone '^Search'
no_message_box
shot found

xdotool key ctrl+s
wait_for_window '^mine\.zv '           # no longer marked
no_message_box
shot saved

# The desktop locks its screen: every window hides behind the lock prompt,
# a reflex Escape leaves it up, and the file's password brings the main
# window back.
main_window=$(visible_window 'Zantrove 1\.1$')
dbus-send --session --type=signal /org/freedesktop/ScreenSaver org.freedesktop.ScreenSaver.ActiveChanged boolean:true
wait_for_focus '^Zantrove is locked$'
lock_prompt=$(visible_window '^Zantrove is locked$')
[ -n "$lock_prompt" ] && [ "$lock_prompt" != "$main_window" ] || fail "the screen lock did not lock the program"
shot locked
xdotool key Escape
# Escape is handled once the keys behind it are: the password typed next
# must reach the same prompt.
xdotool type --delay 12 sample
[ "$(visible_window '^Zantrove is locked$')" = "$lock_prompt" ] || fail "Escape took the lock prompt down"
xdotool key Return
main_window_back() { [ "$(visible_window 'Zantrove 1\.1$')" = "$main_window" ]; }
poll main_window_back || fail "the main window did not come back after unlocking"

xdotool key alt+F4
ended() { ! kill -0 "$app" 2>/dev/null; }
poll ended || { shot not-closed; fail "the program did not close"; }

cli="$work/program/zantrove-cli"
hits=$(printf 'sample\n' | "$cli" --password-stdin find "$work/mine.zv" e2e.example.org)
[ "$hits" = "E2E Group/E2E Login :: URL" ] || fail "find gave: $hits"
printf 'sample\n' | "$cli" --password-stdin list "$work/mine.zv" | grep -qx "E2E Group" || fail "no E2E Group in the saved file"
printf 'sample\n' | "$cli" --password-stdin list "$work/mine.zv" | grep -q "Roadster AB 123" || fail "the sample's records are gone"
echo "user session passed; screenshots in $shots"
