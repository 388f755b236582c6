#!/usr/bin/env bash
# Measures the saver under Xvfb: CPU of the saver and of the X server together over a run,
# and the saver's own --stats line (frame interval, time to first frame).
# Usage: scripts/measure_saver.sh [SECONDS] [WIDTHxHEIGHT] [Section.Key=Value ...]
# The settings given are written to a temporary store; everything else is at its default.
# MONITORS=N (default 1) puts N monitors of that size side by side (RandR monitors on one
# Xvfb screen), each with its own saver window.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
size=${2:-1920x1080}
monitors=${MONITORS:-1}
width=${size%x*} height=${size#*x}
shift $(($# > 2 ? 2 : $#))
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME/Lumivane" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
for setting in "$@"; do
  section=${setting%%.*} rest=${setting#*.}
  printf '[%s]\n%s\n' "$section" "$rest" >>"$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini"
done
number=$((300 + RANDOM % 600))
Xvfb ":$number" -screen 0 "$((width * monitors))x${height}x24" -nolisten tcp -noreset 2>/dev/null &
server=$!
export DISPLAY=:$number
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done
for ((k = 0; monitors > 1 && k < monitors; k++)); do
  output=none
  [ "$k" -eq 0 ] && output=screen
  xrandr --setmonitor "M$k" "$width/300x$height/170+$((k * width))+0" "$output" >/dev/null
done

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
build/src/app/lumivane /S --stats >"$work/stats" &
saver=$!
sleep 1  # start-up is measured by first_frame_ms, not here
saver0=$(ticks "$saver") server0=$(ticks "$server")
sleep "$seconds"
saver1=$(ticks "$saver") server1=$(ticks "$server")
kill -TERM "$saver"
wait "$saver" || true
awk -v a="$((saver1 - saver0))" -v b="$((server1 - server0))" -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "{\"saver_cpu_pct\":%.2f,\"xserver_cpu_pct\":%.2f,\"total_cpu_pct\":%.2f}\n",
           100 * a / hz / s, 100 * b / hz / s, 100 * (a + b) / hz / s }'
cat "$work/stats"
