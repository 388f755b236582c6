#!/usr/bin/env bash
# Builds Lumivane and runs it.
#
# With no arguments: the saver full screen with the stored settings (Escape ends it).
# Arguments go to lumivane, with or without a display: /C opens the Properties dialog, --help
# lists the others. With no arguments and no display available it says so and renders the
# effect the saver would show off screen instead, writing its last frame to out/lumivane.png.
#
# It builds in build-saver/ (Release), so that it and scripts/test.sh (build/) never undo each
# other's configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
build="build-saver"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target lumivane lumivane-render

has_display() {
  [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
  [ -n "${DISPLAY:-}" ] || return 1
  if command -v xdpyinfo >/dev/null; then xdpyinfo >/dev/null 2>&1; else return 0; fi
}

if [ $# -gt 0 ] || has_display; then
  exec "$build/src/app/lumivane" "$@"
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY unset or unreachable): rendering out/lumivane.png instead."
mkdir -p out
status=0
"$build/tools/lumivane-render" --frames 300 --out out/lumivane.png >/dev/null 2>&1 || status=$?
if [ "$status" -eq 3 ]; then  # the stored effect is not built yet
  "$build/tools/lumivane-render" --effect starfield --frames 300 --out out/lumivane.png >/dev/null
elif [ "$status" -ne 0 ]; then
  exit "$status"
fi
