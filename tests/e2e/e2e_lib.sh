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

# start_x WIDTH HEIGHT [XVFB ARGS...]: a new X server on a free display number, exported as
# DISPLAY. Numbers are drawn from a high range (other X servers on a shared machine tend to sit
# low) and the server must answer before it is used; a number someone else takes meanwhile is
# given up for another.
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
