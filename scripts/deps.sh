#!/usr/bin/env bash
# Installs the Debian packages that Lumivane needs and that are missing.
# Usage: scripts/deps.sh build|test
set -euo pipefail

build_pkgs=(g++ cmake ninja-build pkg-config dpkg-dev libsimpleini-dev libpng-dev libwebp-dev
  qt6-base-dev libsdl2-mixer-dev libgl-dev libxcb1-dev libxcb-shm0-dev libxcb-dpms0-dev
  qt6-base-private-dev libwayland-dev libwayland-bin)
test_pkgs=(libgtest-dev libgmock-dev googletest libbenchmark-dev clang-format xvfb xdotool
  x11-utils x11-xserver-utils xscreensaver clang libclang-rt-14-dev imagemagick python3 procps
  fonts-dejavu-core weston qt6-wayland lintian desktop-file-utils appstream man-db
  xsecurelock xautolock sway wtype pulseaudio pulseaudio-utils sox)

case "${1:-build}" in
  build) wanted=("${build_pkgs[@]}") ;;
  test) wanted=("${build_pkgs[@]}" "${test_pkgs[@]}") ;;
  *) echo "usage: $0 build|test" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
