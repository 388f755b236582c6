#!/usr/bin/env bash
# The saver and the Properties dialog on headless weston (its protocol log shows the windows
# asked for), with no X display to fall back on; then a host's X11 window, and sway.
# Usage: wayland_e2e.sh path/to/lumivane
set -u
lumivane=$(readlink -f "$1")
command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }

# shellcheck source=e2e_lib.sh
. "$(dirname "$0")/e2e_lib.sh"
unset DISPLAY
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=lumivane-test-$$

weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --width=1280 --height=720 \
  --no-config --idle-time=0 --log="$work/weston.log" --logger-scopes=proto \
  >"$work/weston.out" 2>&1 &
pids+=($!)
wait_until 10 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || {
  echo "weston did not start:"
  cat "$work/weston.out"
  exit 1
}

# The client of the compositor's log that gave a window this title.
client_titled() {
  grep -F "set_title(\"$1\")" "$work/weston.log" | head -1 | sed -E 's/.*client (0x[0-9a-f]+) .*/\1/'
}
# shellcheck disable=SC2317  # called through wait_until
titled() { [ -n "$(client_titled "$1")" ]; }

# run_until_term NAME TITLE ARGS...: starts the program, waits for its window, lets it run
# for two seconds, then SIGTERM must end it with status 0 and nothing on stderr.
run_until_term() {
  local name=$1 title=$2
  shift 2
  "$lumivane" "$@" >"$work/$name.out" 2>"$work/$name.err" &
  local pid=$!
  pids+=("$pid")
  if ! wait_until 20 titled "$title"; then
    fail "$name: no window titled \"$title\" reached weston"
    sed 's/^/  /' "$work/$name.err" >&2
    return
  fi
  sleep 2
  gone "$pid" && fail "$name: ended before SIGTERM"
  stop "$pid" "$name"
  [ -s "$work/$name.err" ] && fail "$name printed on stderr: $(cat "$work/$name.err")"
}

# The saver, with settings stored so that no welcome screen comes first.
store '[General]\nAnimationType=1\n'
run_until_term saver Lumivane /S --stats
[ "$(frames "$work/saver.out")" -gt 0 ] 2>/dev/null || fail "saver: no frames shown"
client=$(client_titled Lumivane)
grep -q "client $client rq xdg_toplevel@[0-9]*\.set_fullscreen" "$work/weston.log" ||
  fail "saver: the window did not ask for full screen"
attached=$(grep -c "client $client rq wl_surface@[0-9]*\.attach" "$work/weston.log")
[ "$attached" -gt 1 ] || fail "saver: no frames reached the compositor"

run_until_term properties "Lumivane Properties" /C

# A host's X11 window in a Wayland session (the host on XWayland, here an Xvfb): the saver
# must draw into it through X11 although Qt would pick Wayland.
if command -v Xvfb >/dev/null && command -v xwininfo >/dev/null && command -v xdotool >/dev/null; then
  start_x 320 240
  id=$(xwininfo -root | sed -nE 's/.*Window id: (0x[0-9a-f]+).*/\1/p')
  XDG_SESSION_TYPE=wayland XSCREENSAVER_WINDOW=$id \
    env -u QT_QPA_PLATFORM "$lumivane" -root --stats >"$work/host.out" 2>"$work/host.err" &
  pids+=($!)
  sleep 2
  stop "${pids[-1]}" "host"
  [ "$(frames "$work/host.out")" -gt 0 ] 2>/dev/null ||
    fail "host: no frames drawn into the X11 window: $(cat "$work/host.err")"
fi

# sway as an unprivileged user, told to focus a window that asks to be activated: Space opens
# the Properties dialog, which takes the keyboard; Escape closes it and a second Escape ends
# the saver with status 0. A compositor that goes away ends a running saver: one line, status 1.
if command -v sway >/dev/null && command -v wtype >/dev/null; then
  start_sway "focus_on_window_activation smart"
  stage_lumivane
  mkdir -p "$user_home/.config/Lumivane"
  cp "$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini" "$user_home/.config/Lumivane/"
  [ "$(id -u)" -eq 0 ] && chown -R nobody:nogroup "$user_home"
  focused() {
    "${as_user[@]}" swaymsg -t get_tree | python3 -c 'import json, sys
def walk(node):
    if node.get("focused"):
        print(node.get("name"))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
  }
  # shellcheck disable=SC2317  # called through wait_until
  is_focused() { [ "$(focused)" = "$1" ]; }
  key() { "${as_user[@]}" wtype -s 300 -k "$1" -s 300; }
  on_sway() {
    "${as_user[@]}" QT_QPA_PLATFORM=wayland "$work/bin/lumivane" /S >"$work/sway.out" 2>"$work/sway.err" &
    saver=$!
    pids+=("$saver")
    wait_until 20 is_focused Lumivane || fail "sway: the saver's window has no focus: $(focused)"
  }
  on_sway
  key space
  wait_until 10 is_focused "Lumivane Properties" ||
    fail "sway: the Properties dialog did not take the keyboard (focused: $(focused))"
  key Escape
  wait_until 10 is_focused Lumivane || fail "sway: Escape did not close the dialog"
  key Escape
  wait_until 5 gone "$saver" || fail "sway: the second Escape did not end the saver"
  wait "$saver" || fail "sway: status $? after Escape"
  [ -s "$work/sway.err" ] && fail "sway: the saver printed: $(cat "$work/sway.err")"

  on_sway
  kill -KILL "$sway_pid"
  wait "$sway_pid" 2>/dev/null
  expect_lost_display "$saver" "$work/sway.err" "sway"
else
  echo "sway part skipped: sway or wtype is not installed"
fi

[ "$failed" -eq 0 ] && echo "PASSED: wayland"
exit "$failed"
