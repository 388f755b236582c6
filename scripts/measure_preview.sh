#!/usr/bin/env bash
# Measures the Properties dialog's live preview under Xvfb: CPU of the program and of the X
# server over a window of SECONDS with the dialog open (`lumivane /C`, a fresh store: the
# defaults), then over the same window once the preview is switched off (Alt+V), for comparison.
# Usage: scripts/measure_preview.sh [SECONDS] [WIDTHxHEIGHT]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
size=${2:-1920x1080}
work=$(mktemp -d)
server= program=
trap '[ -n "$program" ] && kill "$program" 2>/dev/null; [ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
number=$((300 + RANDOM % 600))
Xvfb ":$number" -screen 0 "${size}x24" -nolisten tcp -noreset 2>/dev/null &
server=$!
export DISPLAY=:$number
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
measure() {
  local p0 s0 p1 s1
  p0=$(ticks "$program") s0=$(ticks "$server")
  sleep "$seconds"
  p1=$(ticks "$program") s1=$(ticks "$server")
  awk -v a="$((p1 - p0))" -v b="$((s1 - s0))" -v hz="$hz" -v s="$seconds" -v what="$1" \
    'BEGIN { printf "{\"preview\":\"%s\",\"program_cpu_pct\":%.2f,\"xserver_cpu_pct\":%.2f,\"total_cpu_pct\":%.2f}\n",
             what, 100 * a / hz / s, 100 * b / hz / s, 100 * (a + b) / hz / s }'
}
build/src/app/lumivane /C &
program=$!
sleep 2  # start-up and the first opening's store write are not part of the figure
measure on
window=$(xdotool search --sync --name 'Lumivane Properties' | head -1)
xdotool windowfocus --sync "$window" key --window "$window" alt+v
sleep 1
measure off
