#!/usr/bin/env bash
# The Debian package that CPack builds against Debian's own checks (lintian, desktop-file-validate,
# appstreamcli, man's warnings), its Depends and version, then installed into a throwaway root
# with dpkg, run from there and purged, which must leave nothing behind.
# Usage: package_test.sh BUILD_DIR
set -u
build=$(readlink -f "$1")
for tool in cpack lintian desktop-file-validate appstreamcli dpkg-shlibdeps man; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAILED: $*" >&2
  failed=1
}
# check NAME COMMAND...: COMMAND must succeed and print nothing.
check() {
  local name=$1 output
  shift
  output=$("$@" 2>&1) && [ -z "$output" ] || fail "$name: $output"
}

cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  exit 1
}
deb=$(ls "$work"/lumivane_*.deb)
version=$(dpkg-deb -f "$deb" Version)

# lintian shows errors and warnings; its remark that it runs as root is no finding.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1
status=$?
findings=$(grep -v 'running with root privileges' "$work/lintian.log")
[ "$status" -eq 0 ] && [ -z "$findings" ] || fail "lintian (status $status): $findings"
dpkg-deb -x "$deb" "$work/content"
check "desktop-file-validate" desktop-file-validate "$work/content/usr/share/applications/lumivane.desktop"
# MATE's entry keeps MATE's theme format (only the Screensaver category, shown in MATE only),
# for which desktop-file-validate has a hint but must find nothing wrong.
mate=$work/content/usr/share/applications/screensavers/lumivane.desktop
mate_findings=$(desktop-file-validate "$mate" 2>&1) && ! grep -qE ': (error|warning):' <<<"$mate_findings" ||
  fail "desktop-file-validate (MATE entry): $mate_findings"
grep -qx 'Exec=/usr/libexec/xscreensaver/lumivane -root' "$mate" || fail "the MATE entry does not start the host's link"
metainfo=$work/content/usr/share/metainfo/org.lumivane.lumivane.metainfo.xml
grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "the metainfo file names no MIT licence"
grep -qx 'License: Expat' "$work/content/usr/share/doc/lumivane/copyright" || fail "the copyright file names no licence"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli validate: $(cat "$work/appstream.log")"
check "man --warnings" env LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
  sh -c "man --warnings -E UTF-8 -l -Tutf8 -Z '$work/content/usr/share/man/man6/lumivane.6.gz' >/dev/null"

# The command-line tools and their manual pages.
for tool in lumivane-config lumivane-render; do
  [ -x "$work/content/usr/bin/$tool" ] || fail "the package has no /usr/bin/$tool"
  check "man --warnings $tool" env LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    sh -c "man --warnings -E UTF-8 -l -Tutf8 -Z '$work/content/usr/share/man/man1/$tool.1.gz' >/dev/null"
done

depends=$(dpkg-deb -f "$deb" Depends)
grep -qE 'libqt6widgets6 \(>= [0-9]' <<<"$depends" ||
  fail "Depends was not computed from the program: $depends"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo file has no release $version"
zcat "$work/content/usr/share/doc/lumivane/changelog.gz" | head -1 | grep -qF "lumivane ($version)" ||
  fail "the changelog does not begin with $version"

# A throwaway root with an admin folder of its own. Its status lists the packages that Depends
# names as they are on this system, so that dpkg checks the dependencies against them; the
# package has no maintainer scripts, so nothing runs inside the root.
root=$work/root
admin=$root/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates" "$admin/triggers"
mapfile -t needed < <(tr ',|' '\n\n' <<<"$depends" | sed -E 's/\(.*\)//; s/ //g' | sort -u)
dpkg-query -s "${needed[@]}" >"$admin/status" 2>/dev/null
for package in $(sed -n 's/^Package: //p' "$admin/status"); do
  touch "$admin/info/$package.list" "$admin/info/$package:$(dpkg --print-architecture).list"
done
find "$root" | sort >"$work/before"
dpkg_root=(dpkg "--root=$root" "--log=$work/dpkg.log")
[ "$(id -u)" -eq 0 ] || dpkg_root+=(--force-not-root)
"${dpkg_root[@]}" -i "$deb" >"$work/dpkg.out" 2>&1 ||
  fail "dpkg --install into a throwaway root: $(cat "$work/dpkg.out")"
"$root/usr/bin/lumivane" --version | grep -qE "^lumivane $version\$" || fail "the installed program does not run"
for tool in lumivane-render lumivane-config; do
  "$root/usr/bin/$tool" --help >/dev/null || fail "the installed $tool does not run"
done
"${dpkg_root[@]}" --purge lumivane >>"$work/dpkg.out" 2>&1 ||
  fail "dpkg --purge: $(cat "$work/dpkg.out")"
# Outside dpkg's admin folder nothing new may remain, and dpkg must have forgotten it.
left=$(find "$root" | sort | comm -13 "$work/before" - | grep -v "^$admin/"
  find "$admin/info" -name 'lumivane.*')
[ -z "$left" ] || fail "purge left files behind: $left"
grep -q '^Package: lumivane$' "$admin/status" && fail "dpkg still lists the package after purge"

[ "$failed" -eq 0 ] && echo "PASSED: package ($version)"
exit "$failed"
