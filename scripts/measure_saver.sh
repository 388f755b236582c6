#!/usr/bin/env bash
# Measures the saver under Xvfb: CPU of the saver and of the X server together over a run,
# and the saver's own --stats line (frame interval, time to first frame, presentation path).
# Usage: scripts/measure_saver.sh [SECONDS] [WIDTHxHEIGHT] [Section.Key=Value ...]
#          One run; the settings given are written to a temporary store, everything else is
#          at its default. MONITORS=N (default 1) puts N monitors of that size side by side
#          (RandR monitors on one Xvfb screen), each with its own saver window.
#        scripts/measure_saver.sh --sway [SECONDS] [WIDTHxHEIGHT]
#          The six effects at their defaults under sway's headless backend (run as nobody;
#          the saver on Qt's Wayland platform): CPU of the saver and of sway.
#        scripts/measure_saver.sh --all [SECONDS] [WIDTHxHEIGHT]
#          The six effects at their defaults and, in the same X server, each beside its peer
#          hacks from the XScreenSaver packages where they are installed (fireworkx and pyro,
#          whirlwindwarp, grav, galaxy; run with -root), printed as one table.
# Extra Xvfb arguments may come in XVFB_ARGS (for example "-extension MIT-SHM"); another
# build of the program in LUMIVANE.
set -euo pipefail
cd "$(dirname "$0")/.."
all=false sway=false
if [ "${1:-}" = --all ]; then
  all=true
  shift
elif [ "${1:-}" = --sway ]; then
  sway=true
  shift
fi
seconds=${1:-10}
size=${2:-1920x1080}
monitors=${MONITORS:-1}
width=${size%x*} height=${size#*x}
program=$(readlink -f "${LUMIVANE:-build/src/app/lumivane}")
shift $(($# > 2 ? 2 : $#))
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME/Lumivane" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
store=$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini
for setting in "$@"; do
  section=${setting%%.*} rest=${setting#*.}
  printf '[%s]\n%s\n' "$section" "$rest" >>"$store"
done
# CPU time in microseconds of every thread of process $1, from the scheduler's own accounting
# (exact to the nanosecond; the tick counts in /proc/PID/stat sample which task runs at each
# timer tick, which for a saver's short bursts 40 times a second is off by a third either way).
cpu_us() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s / 1000 }'; }
pct() { awk -v t="$1" -v s="$seconds" 'BEGIN { printf "%.2f", t / s / 1e4 }'; }

# measure COMMAND...: runs it, skips its first second (start-up is measured by
# first_frame_ms), takes the CPU time of it and of the display server ($display_server) over
# $seconds, ends it with SIGTERM; sets $cpu to "program% server% total%" and leaves its output
# in $work/out.
measure() {
  "$@" >"$work/out" 2>/dev/null &
  local pid=$! p0 s0 p1 s1
  sleep 1
  p0=$(cpu_us "$pid") s0=$(cpu_us "$display_server")
  sleep "$seconds"
  p1=$(cpu_us "$pid") s1=$(cpu_us "$display_server")
  kill -TERM "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
  cpu="$(pct $((p1 - p0))) $(pct $((s1 - s0))) $(pct $((p1 - p0 + s1 - s0)))"
}

# stat NAME: a field of the saver's --stats line.
stat() { sed -nE "s/.*\"$1\":\"?([^,\"}]*).*/\\1/p" "$work/out"; }

if $sway; then
  chmod 755 "$work"  # sway runs as nobody under it
  home=$work/sway
  mkdir -p "$home/run"
  chown -R nobody "$home"
  chmod 700 "$home/run"
  printf 'output * bg #000000 solid_color\noutput HEADLESS-1 mode %s\n' "$size" >"$home/config"
  su -s /bin/sh nobody -c "HOME=$home XDG_RUNTIME_DIR=$home/run WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman exec sway -c $home/config" >/dev/null 2>&1 &
  server=$!
  for _ in $(seq 100); do ls "$home"/run/wayland-? >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 1
  display_server=$(pgrep -u nobody -P "$server" -x sway || pgrep -u nobody -n -x sway)
  export WAYLAND_DISPLAY=$(ls "$home"/run/wayland-?) QT_QPA_PLATFORM=wayland
  unset DISPLAY
  echo "sway headless ${size}, ${seconds} s each, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
  printf '| %-24s | %7s | %7s | %8s | %-5s |\n' Effect "Saver %" "sway %" "Mean ms" Path
  echo "|---|---:|---:|---:|---|"
  n=0
  for title in Fireworks "3-D Starfield" "B-Spline Warp" "B-Spline Sparklers" \
    "Stars and Gravity Wells" Galaxies; do
    printf '[General]\nAnimationType=%s\n' "$n" >"$store"
    n=$((n + 1))
    measure "$program" /S --stats --seed 1
    read -r a b _ <<<"$cpu"
    printf '| %-24s | %7s | %7s | %8s | %-5s |\n' "$title" "$a" "$b" "$(stat interval_ms_mean)" \
      "$(stat present)"
  done
  exit 0
fi

number=$((300 + RANDOM % 600))
# shellcheck disable=SC2086
Xvfb ":$number" -screen 0 "$((width * monitors))x${height}x24" -nolisten tcp -noreset ${XVFB_ARGS:-} \
  2>/dev/null &
server=$! display_server=$!
export DISPLAY=:$number
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done
for ((k = 0; monitors > 1 && k < monitors; k++)); do
  output=none
  [ "$k" -eq 0 ] && output=screen
  xrandr --setmonitor "M$k" "$width/300x$height/170+$((k * width))+0" "$output" >/dev/null
done

if ! $all; then
  measure "$program" /S --stats --seed 1
  read -r a b t <<<"$cpu"
  printf '{"saver_cpu_pct":%s,"xserver_cpu_pct":%s,"total_cpu_pct":%s}\n' "$a" "$b" "$t"
  cat "$work/out"
  exit 0
fi

row() { printf '| %-24s | %7s | %7s | %7s | %8s | %8s | %8s | %-5s |\n' "$@"; }
effect() {  # effect NUMBER TITLE: the effect at its defaults
  printf '[General]\nAnimationType=%s\n' "$1" >"$store"
  measure "$program" /S --stats --seed 1
  read -r a b t <<<"$cpu"
  row "$2" "$a" "$b" "$t" "$(stat interval_ms_mean)" "$(stat interval_ms_p99)" \
    "$(stat first_frame_ms)" "$(stat present)"
}
peer() {  # peer HACK: an XScreenSaver hack on the root window, where installed
  local hack=/usr/libexec/xscreensaver/$1
  [ -x "$hack" ] || return 0
  measure "$hack" -root
  read -r a b t <<<"$cpu"
  row "$1 (peer)" "$a" "$b" "$t" - - - -
}

echo "Xvfb ${size}x24 ${XVFB_ARGS:-}, ${seconds} s each, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
row "Program" "Saver %" "X %" "Total %" "Mean ms" "p99 ms" "First ms" "Path"
echo "|---|---:|---:|---:|---:|---:|---:|---|"
effect 0 "Fireworks"
peer fireworkx
peer pyro
effect 1 "3-D Starfield"
effect 2 "B-Spline Warp"
peer whirlwindwarp
effect 3 "B-Spline Sparklers"
effect 4 "Stars and Gravity Wells"
peer grav
effect 5 "Galaxies"
peer galaxy
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
