#!/usr/bin/env bash
# Prints a checksum of every 25th frame of each effect (at its defaults, with themes and a
# demonstration, at two pixel sizes) rendered with fixed seeds: two builds draw the same
# pixels exactly when their outputs are equal.
# Usage: bench/render_hashes.sh [path/to/lumivane-render]
set -euo pipefail
render=${1:-build/tools/lumivane-render}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config  # no store: the defaults
n=0
while read -r args; do
  n=$((n + 1))
  mkdir "$work/$n"
  # shellcheck disable=SC2086
  "$render" $args --size 480x270 --frames 400 --every 25 --out "$work/$n/f.png" >/dev/null
  printf '%s  %s\n' "$(cat "$work/$n"/*.png | sha256sum | cut -c1-16)" "$args"
done <<'CASES'
--effect 0 --seed 1
--effect 0 --theme 6 --seed 2
--effect 0 --theme 13 --seed 3
--effect 1 --seed 1
--effect 2 --seed 1
--effect 2 --seed 2 --demo
--effect 3 --seed 1
--effect 3 --seed 2 --demo
--effect 4 --seed 1
--effect 4 --seed 3 --set General.PixelSize=3
--effect 4 --seed 2 --demo
--effect 5 --seed 1
--effect 5 --seed 4 --set General.PixelSize=2
--effect 5 --theme 7 --seed 2
--effect 5 --theme 11 --seed 3
--effect 5 --theme 13 --seed 5
--effect 5 --seed 6 --demo
--effect 5 --seed 7 --set Galaxy.Galaxy_Stars=9999 --set Galaxy.Galaxy_NovaFreq=9999
CASES
