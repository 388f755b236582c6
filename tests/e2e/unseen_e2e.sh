#!/usr/bin/env bash
# Nothing is drawn that nobody can see, and drawing comes back when it can be seen (CPU ticks
# counted loosely, never timed); scaled screens are filled.
# Usage: unseen_e2e.sh CASE path/to/lumivane
#   CASE: x11 (unmapped, covered, host window unmapped, DPMS) | sway (hidden workspace, output
#         off) | scale (monitors of different scale factors, a window reused across them)
set -u
case_name=$1
lumivane=$(readlink -f "$2")
here=$(cd "$(dirname "$0")" && pwd)

# shellcheck source=e2e_lib.sh
. "$here/e2e_lib.sh"

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# spent PID SECONDS: the CPU ticks PID spends in that many seconds.
spent() {
  local t0
  t0=$(ticks "$1") && sleep "$2" && echo $(($(ticks "$1") - t0))
}
# quiet NAME PID: the process spends at most 3 ticks of CPU in 4 s.
quiet() {
  sleep 1
  local n
  n=$(spent "$2" 4)
  [ "$n" -le 3 ] || fail "$1: still drawing ($n ticks in 4 s)"
}
# moving NAME [GEOMETRY]: two screenshots 0.4 s apart differ (the animation runs).
moving() {
  local crop=()
  [ -n "${2:-}" ] && crop=(-crop "$2")
  sleep 0.5
  import -window root "${crop[@]}" "$work/a.png" && sleep 0.4 &&
    import -window root "${crop[@]}" "$work/b.png" || fail "$1: no screenshot"
  local changed
  changed=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1)
  [ "${changed%% *}" != 0 ] || fail "$1: nothing moves"
}

case "$case_name" in
x11)
  need Xvfb xdotool import compare convert python3
  unset WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb
  start_x 1024 768
  store '[General]\nAnimationType=0\n'
  start_saver --stats  # standalone: pointer and window changes never end it
  wait_until 20 xdotool search --onlyvisible --class lumivane >/dev/null || fail "no window"
  id=$(xdotool search --onlyvisible --class lumivane | head -1)
  moving "shown"
  xdotool windowunmap "$id"
  quiet "unmapped" "$saver"
  xdotool windowmap "$id"
  moving "mapped again"
  host_window 1024 768  # a window stacked above the saver, covering it
  quiet "covered" "$saver"
  kill "$HOST_PID"
  moving "uncovered"
  if xset q 2>/dev/null | grep -q "DPMS is"; then
    xset dpms force off
    quiet "monitor asleep" "$saver"
    xset dpms force on
  else
    echo "monitor asleep: not tried, this X server has no DPMS"
  fi
  stop "$saver" "standalone"

  # A host's window that the host unmaps: the saver inside it sleeps until it is mapped.
  host_window 320 240 100 100
  start_saver -window-id "$host_id"
  sleep 2
  moving "host window" 320x240+100+100
  xdotool windowunmap "$host_id"
  quiet "host window unmapped" "$saver"
  xdotool windowmap "$host_id"
  moving "host window mapped again" 320x240+100+100
  ;;

sway)
  need sway swaymsg
  unset DISPLAY
  start_sway 'output * bg #000000 solid_color'
  # The saver runs as the caller, on the user's compositor.
  export WAYLAND_DISPLAY=$work/sway-run/$WAYLAND_DISPLAY QT_QPA_PLATFORM=wayland
  store '[General]\nAnimationType=0\n'
  start_saver /S
  wait_until 20 sh -c 'swaymsg -t get_tree | grep -q "\"name\": \"Lumivane\""' ||
    fail "no window reached sway"
  swaymsg workspace 2 >/dev/null
  quiet "workspace hidden" "$saver"
  swaymsg workspace 1 >/dev/null
  sleep 1
  [ "$(spent "$saver" 3)" -ge 2 ] || fail "no frames once the workspace is shown again"
  swaymsg 'output * dpms off' >/dev/null
  if swaymsg -t get_outputs | grep -q '"dpms": false'; then
    quiet "output powered off" "$saver"
  else
    echo "output powered off: not tried, this sway cannot power its headless output off"
  fi
  swaymsg 'output * dpms on' >/dev/null
  gone "$saver" && fail "the saver ended"
  ;;

scale)
  need Xvfb xdotool xrandr import convert python3
  unset WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb QT_SCREEN_SCALE_FACTORS="LEFT=1;WIDE=1;RIGHT=2"
  start_x 2560 720 -noreset
  xrandr --setmonitor LEFT 1280/339x720/190+0+0 screen >/dev/null
  xrandr --setmonitor WIDE 1280/339x720/190+1280+0 none >/dev/null
  store '[General]\nAnimationType=1\n'
  start_saver
  wait_until 20 windows 2 || fail "not a window on each monitor"
  sleep 1
  # The window of the monitor at scale 1 goes spare and comes back on one at scale 2.
  xrandr --delmonitor WIDE >/dev/null && wait_until 5 windows 1 || fail "WIDE kept its window"
  xrandr --setmonitor RIGHT 1280/339x720/190+1280+0 none >/dev/null
  wait_until 5 windows 2 || fail "no window on RIGHT"
  sleep 2
  import -window root "$work/all.png"
  for quarter in 0+0 640+0 0+360 640+360; do
    for left in 0 1280; do
      x=$((left + ${quarter%+*})) y=${quarter#*+}
      convert "$work/all.png" -crop "640x360+$x+$y" "$work/q.png"
      n=$(lit "$work/q.png")
      [ "$n" -gt 0 ] || fail "the quarter at $x,$y shows nothing"
    done
  done
  stop "$saver" "two scales"

  # A host's window on a monitor at scale 2: the saver covers it exactly, so the lock message
  # is centred in it (given device pixels as logical ones, it would be centred on its edge).
  store '[General]\nAnimationType=1\nLockMessage=MMMMMMMMMMMMMMMM\n'
  host_window 640 300 0 0
  QT_SCREEN_SCALE_FACTORS="2;2" start_saver -window-id "$host_id"
  sleep 3
  import -window root -crop 640x80+0+0 "$work/top.png"
  white() { convert "$work/top.png" -crop "320x80+$1+0" -fill black +opaque white -fill white \
    -opaque white -format '%[fx:round(mean*w*h)]' info:; }
  left=$(white 0) right=$(white 320)
  [ "$left" -gt 20 ] && [ "$right" -gt 20 ] ||
    fail "the lock message is not centred: $left white pixels left of the middle, $right right"
  ;;

*)
  echo "unknown case $case_name" >&2
  exit 2
  ;;
esac

[ "$failed" -eq 0 ] && echo "PASSED: $case_name"
exit "$failed"
