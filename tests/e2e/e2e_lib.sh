# shellcheck shell=bash disable=SC2034
# Shared by the end-to-end scripts: a private work folder whose processes are ended on exit
# (every pid added to $pids), private settings and runtime folders, failures that are counted,
# waiting for a condition, and a new X server. Sourced; sets $work.
work=$(mktemp -d)
chmod 755 "$work"
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
unset XSCREENSAVER_WINDOW LUMIVANE_SAVER_DIRS

failed=0
fail() {
  echo "FAILED: $*" >&2
  [ -s "$work/saver.err" ] && sed 's/^/  saver: /' "$work/saver.err" >&2
  failed=1
}

alive() { kill -0 "$1" 2>/dev/null; }
gone() { ! kill -0 "$1" 2>/dev/null; }

# need TOOL...: the test is skipped (status 77) when a tool is not installed.
need() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
}

# store TEXT: the settings file holds TEXT (with printf's escapes).
store() { printf '%b' "$1" >"$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini"; }

# lit FILE: the number of pixels of the image that are not black.
lit() { convert "$1" -fill white +opaque black -format '%[fx:round(mean*w*h)]' info:; }

# start_saver ARGS...: starts $lumivane (the sourcing script's), its output in $work/saver.out
# and .err; sets $saver.
# shellcheck disable=SC2154
start_saver() {
  "$lumivane" "$@" >"$work/saver.out" 2>"$work/saver.err" &
  saver=$!
  pids+=("$saver")
}

# stop PID WHAT: SIGTERM ends PID within 5 s with status 0.
stop() {
  kill -TERM "$1"
  wait_until 5 gone "$1" || { fail "$2: SIGTERM did not end it"; return; }
  wait "$1"
  local status=$?
  [ "$status" -eq 0 ] || fail "$2: exit status $status after SIGTERM"
}

# host_window W H [X Y]: a host's X window (x_window.py, from $here), its id in $host_id.
# shellcheck disable=SC2154
host_window() {
  coproc HOST { exec python3 "$here/x_window.py" "$@"; }
  pids+=("$HOST_PID")
  read -r -t 10 host_id <&"${HOST[0]}" || fail "no host window"
}

# stage_lumivane: a copy of $lumivane as $work/bin/lumivane that any user can run.
stage_lumivane() {
  mkdir -p "$work/bin"
  cp "$lumivane" "$work/bin/lumivane"
  chmod 755 "$work/bin" "$work/bin/lumivane"
}

# frames FILE: the frame count that --stats printed into FILE.
frames() { sed -nE 's/.*"frames":([0-9]+).*/\1/p' "$1"; }

# windows N: N windows of the program are shown on the X server.
windows() { [ "$(xdotool search --onlyvisible --class lumivane | wc -l)" -eq "$1" ]; }

# expect_lost_display PID ERRFILE WHAT: the saver PID, whose display (WHAT) has just gone away,
# ends within a few seconds with status 1 and one line on its stderr (ERRFILE).
expect_lost_display() {
  local saver=$1 err=$2 what=$3 status
  wait_until 3 gone "$saver" || fail "$what: the saver outlived its display"
  wait "$saver"
  status=$?
  if [ "$status" -ne 1 ] || [ "$(wc -l <"$err")" -ne 1 ]; then
    fail "$what: the lost display gave status $status and: $(cat "$err")"
  fi
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# wait_until SECONDS COMMAND...: true once COMMAND succeeds within the time.
wait_until() {
  local limit=$(($(now_ms) + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }')))
  shift
  while [ "$(now_ms)" -lt "$limit" ]; do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

# start_x WIDTH HEIGHT [XVFB ARGS...]: a new X server, answering, on a free display number
# drawn from a high range (a shared machine's others sit low), exported as DISPLAY.
start_x() {
  local w=$1 h=$2 number
  shift 2
  for _ in 1 2 3 4 5 6; do
    number=$((200 + RANDOM % 700))
    [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" -screen 0 "${w}x${h}x24" -nolisten tcp "$@" 2>"$work/xvfb.log" &
    local server=$!
    pids+=("$server")
    for _ in $(seq 100); do
      alive "$server" || break
      DISPLAY=:$number xdotool getmouselocation >/dev/null 2>&1 && {
        export DISPLAY=:$number
        return 0
      }
      sleep 0.05
    done
    kill "$server" 2>/dev/null
  done
  echo "no X server could be started: $(cat "$work/xvfb.log")"
  exit 1
}

# start_sway [CONFIG LINE...]: headless sway (one 1280x720 output, no input devices) as nobody
# when run as root, else as the caller. Exports WAYLAND_DISPLAY and SWAYSOCK; sets $user_home,
# $sway_pid and $as_user, the prefix that runs a command as that user in sway's session.
start_sway() {
  command -v sway >/dev/null || { echo "SKIP: sway is not installed"; exit 77; }
  user_home=$work/sway-home
  local run=$work/sway-run socket
  mkdir -p "$user_home/.config" "$run"
  chmod 700 "$run"
  printf '%s\n' "output HEADLESS-1 resolution 1280x720" "$@" >"$user_home/sway.config"
  as_user=(env -i HOME="$user_home" XDG_RUNTIME_DIR="$run" PATH=/usr/bin:/bin)
  if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || { echo "SKIP: setpriv is not installed"; exit 77; }
    chown -R nobody:nogroup "$user_home" "$run"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${as_user[@]}")
  fi
  "${as_user[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$user_home/sway.config" >"$work/sway.log" 2>&1 &
  sway_pid=$!
  pids+=("$sway_pid")
  # shellcheck disable=SC2317  # called through wait_until
  sway_socket() { socket=$(find "$run" -name 'wayland-*' -type s | head -n1) && [ -n "$socket" ]; }
  # shellcheck disable=SC2317
  sway_ipc() { compgen -G "$run/sway-ipc.*.sock" >/dev/null; }
  if ! wait_until 10 sway_socket || ! wait_until 10 sway_ipc; then
    echo "sway did not start:"
    cat "$work/sway.log"
    exit 1
  fi
  export WAYLAND_DISPLAY=${socket##*/}
  SWAYSOCK=$(compgen -G "$run/sway-ipc.*.sock" | head -n1)
  export SWAYSOCK
  as_user+=(WAYLAND_DISPLAY="$WAYLAND_DISPLAY" SWAYSOCK="$SWAYSOCK")
}
