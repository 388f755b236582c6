#!/usr/bin/env bash
# The saver on a real X server: Xvfb started here on a free display, real key presses and
# pointer moves through xdotool, screenshots through ImageMagick's import.
# Usage: saver_e2e.sh CASE path/to/lumivane
#   CASE: standalone | instances | preview | host | xscreensaver | properties | present_same
set -u
case_name=$1
lumivane=$(readlink -f "$2")
here=$(cd "$(dirname "$0")" && pwd)

# shellcheck source=e2e_lib.sh
. "$here/e2e_lib.sh"
need Xvfb xdotool import convert python3
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

shot() { import -window "${2:-root}" "$1" 2>/dev/null; }

# exit_within SECONDS PID NAME: the process ends within the time with status 0.
exit_within() {
  wait_until "$1" gone "$2" || { fail "$3: still running after $1 s"; return; }
  wait "$2" || fail "$3: exit status $?"
}

# shown TITLE: a window whose title matches TITLE is shown.
shown() { xdotool search --onlyvisible --name "$1" >/dev/null; }
# term_within SECONDS PID NAME: SIGTERM ends the process within the time with status 0.
term_within() { kill -TERM "$2" && exit_within "$@"; }

shows_pixels() { shot "$work/s.png" "${1:-root}" && [ "$(lit "$work/s.png")" -gt 0 ]; }

pointer_x() { xdotool getmouselocation | sed -E 's/x:([0-9]+).*/\1/'; }
parked() { [ "$(pointer_x)" -ge $(($1 - 1)) ]; }
# start_parked ARGS...: the saver started on the 640-wide screen, the pointer parked at its edge.
start_parked() { start_saver "$@" && wait_until 20 parked 640 || fail "pointer not parked"; }

case "$case_name" in
standalone)
  # Started elsewhere: pointer moves never end it; F5 restarts with the settings read again;
  # Escape ends it.
  start_x 640 480
  store '[General]\nAnimationType=1\n'
  start_parked
  shown '^Lumivane$' || fail "no caption"
  sleep 1.2
  xdotool mousemove 10 10
  sleep 1.2
  xdotool mousemove 500 400
  sleep 0.5
  alive "$saver" || fail "a pointer move ended the standalone saver"
  shot "$work/before.png"
  store '[General]\nAnimationType=4\n'
  xdotool key F5
  sleep 1
  shot "$work/after.png"
  [ "$(lit "$work/after.png")" -gt $(($(lit "$work/before.png") * 4)) ] ||
    fail "F5 did not restart with the settings read again"
  alive "$saver" || fail "F5 ended the saver"
  xdotool key Escape
  exit_within 1 "$saver" "Escape"
  grep -q 'WindowState=2' "$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini" ||
    fail "the full-screen placement was not saved"

  # The resizable window opens at its stored place and size, or with nothing stored at three
  # quarters of the screen in its middle, and stores its placement on exit.
  while IFS='|' read -r stored geometry; do
    store "[General]\nAnimationType=1\n[Advanced]\nAdv_WindowResize=1\n[DisplayForm]\n${stored:+WindowState=0\nWindowSize=$stored\n}"
    start_saver
    wait_until 20 shown '^Lumivane$' || fail "no captioned window"
    window=$(xdotool search --onlyvisible --name '^Lumivane$' | head -n1)
    placed=$(xdotool getwindowgeometry "$window" 2>/dev/null | tr '\n' ' ')
    echo "$placed" | grep -q "$geometry" || fail "the window is not at $geometry: $placed"
    xdotool mousemove 200 150 sleep 0.3 key Escape
    exit_within 1 "$saver" "Escape (resizable)"
    saved=$(grep WindowSize "$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini")
    [ "$saved" = "WindowSize=${stored:-01200009000720005400}" ] || fail "stored again: $saved"
  done <<'ROWS'
00750007500450003000|Position: 50,50 .*Geometry: 300x200
|Position: 80,60 .*Geometry: 480x360
ROWS

  # From the install place "/S" is the saver mode: a move within the first second and a
  # jitter within 1% of the diagonal do not end it; a larger move later does. The same with
  # a cycle that has no effect picked (the black screen parks the pointer once).
  export LUMIVANE_SAVER_DIRS=/nowhere:$(dirname "$lumivane")
  for cycle in 0 100; do
    store "[General]\nAnimationType=1\n[Advanced]\nAdv_EffectCycle=$cycle\nAdv_PickEffects=0\n"
    start_parked /S
    sleep 0.2
    xdotool mousemove 100 100
    sleep 0.3
    alive "$saver" || fail "a move in the first second ended the saver"
    xdotool mousemove 636 238  # back near the parking point, still within the first second
    sleep 1.0
    xdotool mousemove 638 242  # jitter: about 2 pixels from the parking point
    sleep 0.5
    alive "$saver" || fail "a jitter within 1% of the diagonal ended the saver"
    sleep 0.7
    xdotool mousemove 300 240
    exit_within 2 "$saver" "pointer move (cycle $cycle)"
  done
  # A key or a click ends it as well.
  store '[General]\nAnimationType=1\n'
  for input in "key a" "click 1"; do
    start_parked /S
    sleep 1.2
    xdotool $input
    exit_within 2 "$saver" "$input"
  done

  # The lock message stays readable over the animation: the white pixels of its text after
  # one frame are still white after seconds of gravity wells.
  white() { convert "$1" -crop 640x60+0+0 +repage -fill black +opaque white "$2"; }
  store '[General]\nAnimationType=4\nLockMessage=Away until noon\n'
  for frames in 1 ""; do
    start_parked /S --seed 3 ${frames:+--frames $frames}
    sleep 2.5
    shot "$work/lock.png"
    white "$work/lock.png" "$work/lock$frames.png"
    stop "$saver" "lock message"
  done
  text=$(lit "$work/lock1.png")
  lost=$(convert "$work/lock1.png" \( "$work/lock.png" -negate \) -compose multiply -composite \
    -format '%[fx:round(mean*w*h)]' info:)
  [ "$text" -gt 100 ] && [ "$lost" -le $((text / 20)) ] ||
    fail "the lock message was drawn over: $lost of its $text white pixels covered after 2.5 s"
  ;;

instances)
  # Two starts at once, twenty times, leave one saver (the other ends with status 0); every
  # other round ends it with SIGKILL, leaving its socket behind for the next round to clear.
  start_x 320 240
  store '[General]\nAnimationType=1\n'
  kept=${#pids[@]}
  for round in $(seq 20); do
    "$lumivane" /S 2>>"$work/saver.err" &
    a=$!
    "$lumivane" /S 2>>"$work/saver.err" &
    b=$!
    pids+=("$a" "$b")
    one_ended() { gone "$a" || gone "$b"; }
    wait_until 20 one_ended || fail "round $round: both starts run on"
    sleep 0.5
    running=0
    for pid in "$a" "$b"; do alive "$pid" && running=$((running + 1)) && last=$pid; done
    [ "$running" -eq 1 ] || fail "round $round: $running savers"
    for pid in "$a" "$b"; do gone "$pid" && { wait "$pid" || fail "round $round: status $?"; }; done
    [ "$running" -eq 0 ] || kill "-$([ $((round % 2)) -eq 0 ] && echo KILL || echo TERM)" "$last"
    wait "$a" "$b" 2>/dev/null
    pids=("${pids[@]:0:kept}")  # both ended and waited for: never signalled again
  done
  ;;

preview)
  # "/P id" draws once into the window and ends; a malformed or vanished id draws nothing.
  start_x 640 480
  host_window 200 150 20 20
  id=$host_id
  for bad in "/p" "/p 12abc" "/P 0x1ffff0" "/P 0"; do
    timeout 10 "$lumivane" $bad || fail "'$bad' ended with status $?"
  done
  shows_pixels "$id" && fail "something was drawn for a bad id"
  timeout 10 "$lumivane" "/P" "$id" --stats >"$work/p.out" || fail "/P ended with status $?"
  grep -q '"frames":' "$work/p.out" || fail "/P --stats printed nothing"
  shows_pixels "$id" || fail "/P drew nothing into window $id"
  shot "$work/full.png"
  [ "$(lit "$work/full.png")" -eq "$(lit "$work/s.png")" ] || fail "/P drew outside its window"

  # No display: one line and status 1 after trying for a while ("/P" without a window needs
  # none). A host window that does not exist: status 0 at once.
  for none in $(seq 900 999); do [ -e "/tmp/.X11-unix/X$none" ] || break; done
  for args in "" "/S --stats" "/C" "-root"; do
    DISPLAY=:$none timeout 20 "$lumivane" $args >/dev/null 2>"$work/err"
    status=$?
    [ "$status" -eq 1 ] && [ "$(cat "$work/err")" = "lumivane: cannot open the display :$none" ] ||
      fail "'$args' without a display: status $status, $(head -c 300 "$work/err")"
  done
  DISPLAY=:$none timeout 20 "$lumivane" /P || fail "/P without a display: status $?"
  for host in "-window-id 0x1234567" "-root"; do
    XSCREENSAVER_WINDOW=0x1234567 timeout -k 1 10 "$lumivane" $host || fail "$host of no window: $?"
  done
  ;;

host)
  # The host's protocol: -window-id and XSCREENSAVER_WINDOW, side by side; no input; follows
  # the window's size; SIGTERM ends it within half a second.
  start_x 640 480
  store '[General]\nAnimationType=1\n'
  host_window 300 200 0 0
  one=$host_id
  coproc TWO { python3 "$here/x_window.py" 300 200 320 0; }
  pids+=("$TWO_PID")
  read -r -t 10 two <&"${TWO[0]}" || { echo "no test window"; exit 1; }
  "$lumivane" -window-id "$one" &
  first=$!
  pids+=("$first")
  XSCREENSAVER_WINDOW=$((two)) "$lumivane" -root &
  second=$!
  pids+=("$second")
  wait_until 20 shows_pixels "$one" || fail "nothing drawn in the first host window"
  wait_until 20 shows_pixels "$two" || fail "nothing drawn in the second host window"
  xdotool mousemove 100 100 key Escape space
  sleep 1.5
  xdotool mousemove 400 300 key Escape
  sleep 0.3
  alive "$first" && alive "$second" || fail "input ended a hosted saver"
  xdotool windowsize "$two" 240 160
  child_size() { xwininfo -children -id "$two" | grep -q '"*" *.*240x160' ||
    xwininfo -tree -id "$two" | grep -q '240x160+0+0'; }
  wait_until 3 child_size || fail "the saver did not follow the host window's size"
  term_within 0.5 "$first" "SIGTERM (-window-id)"
  term_within 0.5 "$second" "SIGTERM (XSCREENSAVER_WINDOW)"

  # "-root" with no host window draws into the root window, beneath the other windows.
  store '[General]\nAnimationType=4\n'
  start_saver -root
  wait_until 20 shows_pixels || fail "-root drew nothing"
  sleep 1
  shot "$work/r.png"
  convert "$work/r.png" -crop 300x200+0+0 "$work/one.png"
  [ "$(lit "$work/one.png")" -eq 0 ] || fail "-root drew over another window"
  term_within 0.5 "$saver" "SIGTERM (-root)"

  # Killed with SIGKILL, the saver leaves no shared memory segment behind.
  store '[General]\nAnimationType=4\n'
  start_saver /S
  wait_until 20 shows_pixels || fail "no pixels appeared"
  segments() { ipcs -m -p | awk -v pid="$saver" '$3 == pid { print $1 }'; }
  if command -v ipcs >/dev/null; then
    [ -n "$(segments)" ] || fail "the saver holds no shared memory segment"
  fi
  kill -KILL "$saver"
  wait "$saver" 2>/dev/null
  none_left() { ! command -v ipcs >/dev/null || [ -z "$(segments)" ]; }
  wait_until 5 none_left || fail "segments left after SIGKILL: $(segments | tr '\n' ' ')"

  # Another user's listening socket where the socket belongs, or another user's folder of the
  # socket's name (without XDG_RUNTIME_DIR), never keeps the saver from starting.
  if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
    export TMPDIR=$work/tmp
    mkdir -m 1777 "$TMPDIR"
    as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    listen() {
      "${as_nobody[@]}" /usr/bin/python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(8); time.sleep(60)' "$1" &
      pids+=($!)
      wait_until 5 test -S "$1" || fail "no listener at $1"
    }
    display=${DISPLAY//[^A-Za-z0-9_.-]/_}
    for where in runtime temporary; do
      if [ "$where" = runtime ]; then
        listen "$TMPDIR/socket" && mv "$TMPDIR/socket" "$XDG_RUNTIME_DIR/lumivane-$display"
      else
        unset XDG_RUNTIME_DIR
        "${as_nobody[@]}" mkdir -m 700 "$TMPDIR/lumivane-0"
        listen "$TMPDIR/lumivane-0-$display"
      fi
      start_saver /S
      sleep 2
      alive "$saver" || fail "another user's socket or folder ($where) stopped the start"
      term_within 1 "$saver" "SIGTERM ($where)"
    done
  fi
  ;;

xscreensaver)
  # XScreenSaver itself as the host; as root it runs as nobody, with a temporary home.
  need xscreensaver
  start_x 640 480
  home=$work/home
  mkdir -p "$home/.config/Lumivane"
  stage_lumivane
  printf '[General]\nAnimationType=1\n' >"$home/.config/Lumivane/LMVN_SS.ini"
  cat >"$home/.xscreensaver" <<CONFIG
mode: one
selected: 0
programs: "Lumivane" $work/bin/lumivane -root \\n
lock: False
splash: False
fade: False
unfade: False
timeout: 0:30:00
CONFIG
  as_user=(env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin)
  if [ "$(id -u)" -eq 0 ]; then
    need setpriv
    chown -R nobody:nogroup "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${as_user[@]}")
  fi
  "${as_user[@]}" xscreensaver -no-splash -verbose >"$work/xscreensaver.log" 2>&1 &
  pids+=($!)
  ready() { "${as_user[@]}" xscreensaver-command -time >/dev/null 2>&1; }
  wait_until 20 ready || fail "xscreensaver did not start: $(tail -n 5 "$work/xscreensaver.log")"
  "${as_user[@]}" xscreensaver-command -activate >/dev/null
  saver_pid() { pgrep -f "^$work/bin/lumivane" | head -n1; }
  running() { [ -n "$(saver_pid)" ]; }
  wait_until 20 running || fail "xscreensaver did not start lumivane"
  wait_until 20 shows_pixels || fail "nothing drawn in xscreensaver's window"
  "${as_user[@]}" xscreensaver-command -deactivate >/dev/null
  stopped() { ! running; }
  wait_until 5 stopped || fail "lumivane did not end when xscreensaver deactivated"
  ;;

properties)
  # "/C" on an empty store opens the Properties dialog, which writes the full defaults; Escape
  # (Cancel) closes it and the program ends.
  start_x 1024 768
  start_saver /C --stats
  wait_until 20 shown '^Lumivane Properties$' || fail "/C did not open the Properties dialog"
  settings=$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini
  for key in AnimationType=0 FireSparks= Galaxy_Profile= Adv_TimeDelay=25; do
    grep -q "^$key" "$settings" || fail "opening on an empty store did not write $key"
  done
  xdotool key Escape
  exit_within 2 "$saver" "Cancel after /C"
  grep -q '"frames":' "$work/saver.out" || fail "/C --stats printed nothing"

  # From the running saver Space opens it modally; Accept stores the dialog and the driver
  # starts again with what is stored (here: the gravity wells' trails instead of 60 stars).
  store '[General]\nAnimationType=1\n[Starfield]\nStar_Stars=60\n'
  start_saver
  wait_until 20 shows_pixels || fail "no pixels appeared"
  sleep 0.5
  shot "$work/before.png"
  before=$(lit "$work/before.png")
  sed -i 's/^AnimationType=1/AnimationType=4/' "$settings"
  xdotool key space
  wait_until 10 shown '^Lumivane Properties$' || fail "Space did not open the Properties dialog"
  xdotool key Return
  closed() { ! shown '^Lumivane Properties$'; }
  wait_until 10 closed || fail "Accept did not close the dialog"
  grep -q '^FireSparks=' "$settings" || fail "Accept did not store the dialog's pages"
  sleep 1
  shot "$work/after.png"
  after=$(lit "$work/after.png")
  [ "$after" -gt $((before * 4)) ] ||
    fail "the driver did not restart with the stored effect: $before lit pixels, then $after"
  alive "$saver" || fail "Accept ended the saver"
  xdotool key Escape
  exit_within 1 "$saver" "Escape after Accept"

  # SIGTERM, SIGINT and SIGHUP end the program with status 0 from every screen, modal ones
  # included, and nothing more opens (the welcome screen does not go on to the saver).
  # Rows: signal | store | arguments | the windows in turn, each with the keys to the next.
  while IFS='|' read -r signal settings args steps; do
    rm -f "$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini"
    [ -z "$settings" ] || store "$settings"
    start_saver $args
    IFS=';' read -ra windows <<<"$steps"
    for step in "${windows[@]}"; do
      wait_until 20 shown "${step%%=*}" || fail "$signal: no window ${step%%=*}"
      [ "$step" = "${step#*=}" ] || { sleep 0.5; xdotool key ${step#*=}; }
    done
    sleep 0.3
    kill "-$signal" "$saver"
    exit_within 1 "$saver" "SIG$signal on ${windows[-1]}"
    grep -qs DisplayForm "$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini" && [ -z "$settings" ] &&
      fail "SIG$signal on the welcome screen ran the saver"
  done <<'ROWS'
TERM|||^Welcome to Lumivane$
INT||/S|^Welcome to Lumivane$
HUP|[General]\nAnimationType=1\n|/A|^Change Password$
INT|[General]\nAnimationType=1\n|/C|^Lumivane Properties$=alt+h c;^Lumivane Help$
TERM|[General]\nAnimationType=1\n||^Lumivane$=space;^Lumivane Properties$=alt+h a;^About Lumivane$
HUP|[General]\nAnimationType=1\n||^Lumivane$
ROWS
  ;;

present_same)
  # The shared-memory path and the Qt fallback (a server without MIT-SHM) show the same
  # pixels for the same frames of every effect; --stats names the path.
  start_x 480 360
  shm_display=$DISPLAY
  start_x 480 360 -extension MIT-SHM
  qt_display=$DISPLAY
  settled() {  # the animation has stopped (--frames) with something on screen
    shot "$work/a.png" && sleep 0.3 && shot "$work/b.png" && [ "$(lit "$work/b.png")" -gt 0 ] &&
      [ "$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1)" = 0 ]
  }
  for effect in 0 1 2 3 4 5; do
    store "[General]\nAnimationType=$effect\n"
    for path in shm qt; do
      display=${path}_display
      export DISPLAY=${!display}
      start_saver /S --stats --seed 5 --frames 30
      wait_until 20 settled || fail "effect $effect ($path): the picture did not settle"
      cp "$work/b.png" "$work/$path.png"
      stop "$saver" "effect $effect ($path)"
      grep -q "\"present\":\"$path\"" "$work/saver.out" ||
        fail "effect $effect: not presented by $path: $(cat "$work/saver.out")"
    done
    difference=$(compare -metric AE "$work/shm.png" "$work/qt.png" null: 2>&1)
    [ "$difference" = 0 ] || fail "effect $effect: $difference pixels differ between the paths"
  done
  ;;

*)
  echo "unknown case $case_name"
  exit 2
  ;;
esac

[ "$failed" -eq 0 ] && echo "PASSED: $case_name"
exit "$failed"
