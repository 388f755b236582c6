#!/usr/bin/env bash
# Builds Lumivane and runs it.
#
# The saver window is not built yet. Until it is, this renders the stored effect
# (the one the saver would show) off screen with lumivane-render and writes its last frame
# to out/lumivane.png. Extra arguments go to lumivane-render.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVANE_BENCH=OFF >/dev/null
cmake --build build -j "$(nproc)" --target lumivane-render
mkdir -p out
exec build/tools/lumivane-render --out out/lumivane.png "$@"
