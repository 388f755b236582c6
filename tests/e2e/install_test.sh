#!/usr/bin/env bash
# cmake --install into a temporary root: the program, its link in the host's saver folder
# (which resolves to the program), the host's settings page, the desktop entry, the manual.
# Usage: install_test.sh BUILD_DIR
set -u
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$1" --prefix /usr >/dev/null || { echo "install failed"; exit 1; }
failed=0
check() { "${@:2}" || { echo "FAILED: $1"; failed=1; }; }
check "program" test -x "$root/usr/bin/lumivane"
check "host link" test -L "$root/usr/libexec/xscreensaver/lumivane"
check "host link target" test "$(readlink -f "$root/usr/libexec/xscreensaver/lumivane")" = \
  "$(readlink -f "$root/usr/bin/lumivane")"
check "host settings page" grep -q '<command arg="-root"/>' \
  "$root/usr/share/xscreensaver/config/lumivane.xml"
check "desktop entry" grep -qx 'Exec=lumivane /S' "$root/usr/share/applications/lumivane.desktop"
check "MATE entry" grep -qx 'Exec=/usr/libexec/xscreensaver/lumivane -root' \
  "$root/usr/share/applications/screensavers/lumivane.desktop"
check "manual page" zgrep -q '^.TH LUMIVANE 6' "$root/usr/share/man/man6/lumivane.6.gz"
check "built-in sounds" test -s "$root/usr/share/lumivane/sounds/launch-whistle.wav"
check "version" grep -qE "^lumivane [0-9]+\.[0-9]+" <("$root/usr/bin/lumivane" --version)
check "help" "$root/usr/bin/lumivane" --help >/dev/null
for tool in lumivane-config lumivane-render; do
  check "$tool" "$root/usr/bin/$tool" --help >/dev/null
  check "$tool manual page" zgrep -q "^.TH ${tool^^} 1" "$root/usr/share/man/man1/$tool.1.gz"
done
[ "$failed" -eq 0 ] && echo "PASSED: install"
exit "$failed"
