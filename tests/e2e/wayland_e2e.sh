#!/usr/bin/env bash
# The saver and the Properties dialog on a real Wayland compositor: weston's headless backend
# on a socket of its own, the program on Qt's Wayland platform with no X display to fall back
# on. Weston logs the protocol, which shows the windows the program asked for.
# Usage: wayland_e2e.sh path/to/lumivane
set -u
lumivane=$(readlink -f "$1")
command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }

work=$(mktemp -d)
pids=()
all_gone() {
  local pid
  for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && return 1; done
  return 0
}
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait_until 30 all_gone || for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME/Lumivane" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY XSCREENSAVER_WINDOW LUMIVANE_SAVER_DIRS
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=lumivane-test-$$

failed=0
fail() {
  echo "FAILED: $*" >&2
  failed=1
}

# wait_until TENTHS COMMAND...: true once COMMAND succeeds within TENTHS tenths of a second.
wait_until() {
  local i
  for ((i = 0; i < $1; i++)); do
    "${@:2}" && return 0
    sleep 0.1
  done
  return 1
}

weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --width=1280 --height=720 \
  --no-config --idle-time=0 --log="$work/weston.log" --logger-scopes=proto \
  >"$work/weston.out" 2>&1 &
pids+=($!)
wait_until 100 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || {
  echo "weston did not start:"
  cat "$work/weston.out"
  exit 1
}

# The client of the compositor's log that gave a window this title.
client_titled() {
  grep -F "set_title(\"$1\")" "$work/weston.log" | head -1 | sed -E 's/.*client (0x[0-9a-f]+) .*/\1/'
}
titled() { [ -n "$(client_titled "$1")" ]; }
gone() { ! kill -0 "$1" 2>/dev/null; }

# run_until_term NAME TITLE ARGS...: starts the program, waits for its window, lets it run
# for two seconds, then SIGTERM must end it with status 0 and nothing on stderr.
run_until_term() {
  local name=$1 title=$2
  shift 2
  "$lumivane" "$@" >"$work/$name.out" 2>"$work/$name.err" &
  local pid=$!
  pids+=("$pid")
  if ! wait_until 200 titled "$title"; then
    fail "$name: no window titled \"$title\" reached weston"
    sed 's/^/  /' "$work/$name.err" >&2
    return
  fi
  sleep 2
  gone "$pid" && fail "$name: ended before SIGTERM"
  kill -TERM "$pid" 2>/dev/null
  wait_until 50 gone "$pid" || fail "$name: still running after SIGTERM"
  wait "$pid"
  local status=$?
  echo "$name: status $status after SIGTERM"
  [ "$status" -eq 0 ] || fail "$name: exit status $status"
  if [ -s "$work/$name.err" ]; then
    fail "$name printed on stderr:"
    sed 's/^/  /' "$work/$name.err" >&2
  fi
}

# The saver, with settings stored so that no welcome screen comes first.
printf '[General]\nAnimationType=1\n' >"$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini"
run_until_term saver Lumivane /S --stats
cat "$work/saver.out"
frames=$(sed -nE 's/.*"frames":([0-9]+).*/\1/p' "$work/saver.out")
[ "${frames:-0}" -gt 0 ] || fail "saver: no frames shown"
client=$(client_titled Lumivane)
grep -q "client $client rq xdg_toplevel@[0-9]*\.set_fullscreen" "$work/weston.log" ||
  fail "saver: the window did not ask for full screen"
attached=$(grep -c "client $client rq wl_surface@[0-9]*\.attach" "$work/weston.log")
echo "saver: $attached buffers attached"
[ "$attached" -gt 1 ] || fail "saver: no frames reached the compositor"

run_until_term properties "Lumivane Properties" /C

# A host's X11 window in a Wayland session (the host on XWayland, here an Xvfb): the saver
# must draw into it through X11 although Qt would pick Wayland.
if command -v Xvfb >/dev/null && command -v xwininfo >/dev/null; then
  for _ in 1 2 3; do
    number=$((200 + RANDOM % 700))
    [ -e "/tmp/.X$number-lock" ] || break
  done
  Xvfb ":$number" -screen 0 320x240x24 -nolisten tcp 2>/dev/null &
  pids+=($!)
  wait_until 100 env DISPLAY=":$number" xwininfo -root >/dev/null 2>&1
  id=$(DISPLAY=":$number" xwininfo -root | sed -nE 's/.*Window id: (0x[0-9a-f]+).*/\1/p')
  DISPLAY=":$number" XDG_SESSION_TYPE=wayland XSCREENSAVER_WINDOW=$id \
    env -u QT_QPA_PLATFORM "$lumivane" -root --stats >"$work/host.out" 2>"$work/host.err" &
  pids+=($!)
  sleep 2
  kill -TERM "${pids[-1]}"
  wait_until 50 gone "${pids[-1]}" || fail "host: still running after SIGTERM"
  cat "$work/host.out"
  frames=$(sed -nE 's/.*"frames":([0-9]+).*/\1/p' "$work/host.out")
  [ "${frames:-0}" -gt 0 ] || fail "host: no frames drawn into the X11 window: $(cat "$work/host.err")"
fi

[ "$failed" -eq 0 ] && echo "PASSED: wayland"
exit "$failed"
