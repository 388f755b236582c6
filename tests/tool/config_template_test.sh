#!/usr/bin/env bash
# lumivane-config import and export, end to end, in a fresh settings folder.
set -euo pipefail
config=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config

fail() { echo "FAIL: $*" >&2; exit 1; }
expect() { [ "$("$config" get "$1")" = "$2" ] || fail "$1 is $("$config" get "$1"), not $2"; }

"$config" set Fireworks.FireWorks 33
"$config" set General.LockMessage "Back soon"
"$config" set Advanced.Adv_PerfMult 0.5
"$config" set Advanced.Adv_EffectCycle 0
"$config" export "$work/look.lvx"
head -3 "$work/look.lvx" | tr -d '\r' | paste -sd' ' | grep -qx '\[Admin\] Module=3D Sparkloom Version=2.0' \
  || fail "export does not start with its Admin section"
grep -qx 'FireWorks=33' "$work/look.lvx" || fail "export lacks FireWorks=33"

"$config" reset
expect Fireworks.FireWorks 16
"$config" import "$work/look.lvx"
expect Fireworks.FireWorks 33
expect General.LockMessage "Back soon"
expect Advanced.Adv_PerfMult 0.5
expect Advanced.Adv_EffectCycle 0  # as stored, not the 2500 of a template without it

# A mistyped name is an error and changes nothing.
if "$config" import "$work/missing.lvx" 2>"$work/err"; then fail "missing template accepted"; fi
grep -q "no template file" "$work/err" || fail "no message for a missing template"
expect Fireworks.FireWorks 33
if "$config" export "$work/no/such/folder/x.lvx" 2>/dev/null; then fail "export into a missing folder"; fi
(cd "$work" && "$config" export bare.lvx && "$config" import bare.lvx) || fail "a bare file name"

# A file with no settings section is refused (the store untouched) unless forced.
printf 'just notes\n' > "$work/notes.lvx"
if "$config" import "$work/notes.lvx" 2>"$work/err"; then fail "a file with no section accepted"; fi
grep -q "no settings section" "$work/err" || fail "no message for a file with no section"
expect Fireworks.FireWorks 33
"$config" import --force "$work/notes.lvx"
expect Fireworks.FireWorks 16
echo "config template commands: ok"
