#!/usr/bin/env bash
# Builds Lumivane and runs it.
#
# The saver window is not built yet. Until it is, this runs the effects that exist off
# screen with lumivane-render: with no arguments it renders 300 frames of the stored effect
# (AnimationType; Fireworks by default) at 1280x720 with the stored settings and writes the
# last frame to out/lumivane.png.
# Arguments, when given, go to lumivane-render instead (see lumivane-render --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target lumivane-render
if [ $# -eq 0 ]; then
  mkdir -p out
  set -- --frames 300 --out out/lumivane.png
  echo "Rendering the stored effect (Fireworks unless chosen otherwise) to out/lumivane.png"
fi
exec build/tools/lumivane-render "$@"
