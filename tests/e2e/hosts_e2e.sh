#!/usr/bin/env bash
# The hosts that start the saver, installed from Debian (one not installed is left out), on
# one X server with two RandR monitors: xsecurelock, xautolock starting "lumivane --idle", the
# saver's own "/S", and last the X server stopped, then gone, under a running saver.
# Usage: hosts_e2e.sh path/to/lumivane
# shellcheck disable=SC2317  # the conditions are called through wait_until
set -u
lumivane=$(readlink -f "$1")

# shellcheck source=e2e_lib.sh
. "$(dirname "$0")/e2e_lib.sh"
need Xvfb xdotool xrandr import convert compare
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

start_x 2560 720 -noreset
server=${pids[-1]}
if ! xrandr --setmonitor LEFT 1280/339x720/190+0+0 screen >/dev/null ||
  ! xrandr --setmonitor RIGHT 1280/339x720/190+1280+0 none >/dev/null; then
  fail "no RandR monitors"
fi
store '[General]\nAnimationType=1\n'

# Both monitors show pixels that move.
both_animate() {
  local x moment
  for moment in a b; do
    import -window root "$work/$moment.png" 2>/dev/null || return 1
    sleep 0.4
  done
  for x in 0 1280; do
    convert "$work/b.png" -crop "1280x720+$x+0" "$work/half.png"
    changed=$(compare -metric AE -extract "1280x720+$x+0" "$work/a.png" "$work/b.png" null: 2>&1)
    [ "$(lit "$work/half.png")" -gt 0 ] && [ "${changed%% *}" != 0 ] || return 1
  done
}
# on_both ARGS...: the saver started with "/S ARGS", on both monitors.
on_both() { start_saver /S "$@" && wait_until 20 windows 2 || fail "/S is not on both monitors"; }
savers() { pgrep -f "^$1" | wc -l; }
no_saver() { [ "$(savers "$1")" -eq 0 ]; }
two_savers() { [ "$(savers "$1")" -eq 2 ]; }

# xsecurelock runs one saver per monitor inside its own windows; as root it runs as nobody
# with a temporary home, its programs copied where that user can read them. Its authentication
# module (a program named auth_*) is one that accepts, so a key press unlocks it.
if command -v xsecurelock >/dev/null; then
  home=$work/home
  mkdir -p "$home/.config/Lumivane" "$work/bin"
  cp "$lumivane" "$work/bin/lumivane"
  printf '#!/bin/sh\nexit 0\n' >"$work/bin/auth_accept"
  chmod 755 "$work/bin" "$work/bin/lumivane" "$work/bin/auth_accept"
  cp "$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini" "$home/.config/Lumivane/"
  locker=(env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin
    XSECURELOCK_SAVER="$work/bin/lumivane" XSECURELOCK_AUTH="$work/bin/auth_accept")
  if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
    chown -R nobody:nogroup "$home"
    locker=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${locker[@]}")
  fi
  "${locker[@]}" xsecurelock >"$work/xsecurelock.log" 2>&1 &
  xsecurelock=$!
  pids+=("$xsecurelock")
  wait_until 20 two_savers "$work/bin/lumivane" || fail "xsecurelock: not a saver per monitor"
  wait_until 10 both_animate || fail "xsecurelock: the monitors do not both animate"
  xdotool key space
  wait_until 10 gone "$xsecurelock" || fail "xsecurelock: a key did not unlock"
  wait_until 3 no_saver "$work/bin/lumivane" || fail "xsecurelock: savers left after unlocking"
  if grep -qiE 'ClientMessage|_NET_WM|lumivane' "$work/xsecurelock.log"; then
    fail "xsecurelock wrote about the saver's window: $(cat "$work/xsecurelock.log")"
  fi
else
  echo "xsecurelock left out: not installed"
fi

# xautolock's "lumivane --idle" (-locknow) is on both monitors, leaves the pointer, ends on a
# key. Started by hand, a jitter leaves it running, a larger move after the first second not.
pointer() { xdotool getmouselocation | sed -E 's/x:([0-9]+) y:([0-9]+).*/\1,\2/'; }
if command -v xautolock >/dev/null; then
  xdotool mousemove 300 200
  xautolock -time 10 -locker "$lumivane --idle" >"$work/xautolock.log" 2>&1 &
  pids+=($!)
  sleep 0.5
  wait_until 5 xautolock -locknow || fail "xautolock did not take -locknow"
  wait_until 20 windows 2 || fail "xautolock: --idle is not on both monitors"
  sleep 1.2
  [ "$(pointer)" = 300,200 ] || fail "xautolock: --idle moved the pointer to $(pointer)"
  saver=$(pgrep -f "^$lumivane --idle")
  xdotool key a
  wait_until 2 gone "$saver" || fail "xautolock: a key did not end --idle"
else
  echo "xautolock left out: not installed"
fi
# As a launcher may start it: no session bus and no runtime folder. Nothing is printed and no
# helper process starts (Qt would start dbus-launch for a bus).
env -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR "$lumivane" --idle >/dev/null 2>"$work/saver.err" &
saver=$!
pids+=("$saver")
wait_until 20 windows 2 || fail "--idle is not on both monitors"
sleep 1.2
[ -z "$(pgrep -P "$saver")" ] || fail "--idle started helpers: $(pgrep -a -P "$saver")"
xdotool mousemove 302 201
sleep 0.4
alive "$saver" || fail "--idle ended on a jitter"
sleep 1.2
xdotool mousemove 900 500
wait_until 2 gone "$saver" || fail "--idle did not end on a pointer move"
[ -s "$work/saver.err" ] && fail "--idle printed: $(cat "$work/saver.err")"

# "/S" animates both monitors, and one Escape ends it everywhere with status 0.
on_both --stats
wait_until 10 both_animate || fail "/S: the monitors do not both animate"
xdotool key Escape
wait_until 2 gone "$saver" || fail "/S: Escape did not end it"
wait "$saver" || fail "/S: Escape gave status $?"
grep -q '"frames":' "$work/saver.out" || fail "/S: --stats printed nothing"

# With the X server stopped the saver cannot finish anything it asks of the server; a second
# SIGTERM still ends it at once.
on_both
kill -STOP "$server"
kill -TERM "$saver"
sleep 0.5
kill -TERM "$saver"
wait_until 2 gone "$saver" || fail "two SIGTERMs did not end the saver under a stopped X server"
kill -CONT "$server"

# An X server that goes away ends the saver at once: one line, status 1.
on_both
kill -KILL "$server"
wait "$server" 2>/dev/null
expect_lost_display "$saver" "$work/saver.err" "X server"

[ "$failed" -eq 0 ] && echo "PASSED: hosts"
exit "$failed"
