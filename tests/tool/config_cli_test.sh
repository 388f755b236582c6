#!/usr/bin/env bash
# The command line of lumivane-config, run for real against a store in a temporary folder.
# Usage: config_cli_test.sh path/to/lumivane-config path/to/lumivane-render
set -u
tool=$1
render=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
# shellcheck source=cli_checks.sh
. "$(dirname "$0")/cli_checks.sh"
store=$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini

out_is() { [ "$(cat "$work/out")" = "$1" ]; }
value_is() { run 0 get "$1" && out_is "$2"; }  # value_is KEY VALUE: get prints VALUE

# Every line of the file parses as JSON (strict UTF-8 too).
json_lines() {
  python3 -c '
import json, sys
lines = open(sys.argv[1], "rb").read().splitlines()
assert lines
for line in lines:
    json.loads(line.decode("utf-8"))
' "$1"
}

# json_value PATH.IN.OBJECT: prints one value of the JSON in $work/out, as JSON.
json_value() {
  python3 -c '
import json, sys
value = json.load(open(sys.argv[1], "rb"))
for part in sys.argv[2].split("."):
    value = value[part]
print(json.dumps(value))
' "$work/out" "$1"
}

# Usage errors: status 2, one line on stderr, nothing on stdout.
for bad in "" "frob" "get" "get a b" "set General.PixelSize" "list x" "reset a b" \
  "get PixelSize" "get .PixelSize" "get General." "set General 3"; do
  # shellcheck disable=SC2086
  check "usage error: '$bad'" run 2 $bad && check "one line on stderr: '$bad'" one_line_error
done
check "help" run 0 --help

# An empty store: the catalogue defaults, and reads create nothing.
check "default value" value_is General.PixelSize 1
check "single default" value_is Starfield.Star_Speed 0.005
check "string default" value_is Advanced.Adv_WindowResize 0
check "reads create nothing" test ! -e "$XDG_CONFIG_HOME"

# set and get, names matched without regard to case.
check "set" run 0 set general.pixelsize 4
check "set prints nothing" test ! -s "$work/out"
check "honours XDG_CONFIG_HOME" grep -qx 'PixelSize=4' "$store"
check "value read back" value_is General.PixelSize 4
# Read back as the saver reads: rounded half to even, trimmed, a switch on when not 0.
check "set a half" run 0 set Starfield.Star_Stars 2.5
check "set the loader's spelling" run 0 set Galaxy.Galaxy_CometcPersist 0.5
check "set on-when-not-0 switch" run 0 set General.FixedHues 2
check "set text" run 0 set General.LockMessage "  gone fishing  "
check "the saver reads what was set" "$render" --show-settings >"$work/show" 2>&1
check "render sees the value" grep -q '"Star_Stars":2,' "$work/show"

# Refused values: status 1, one line, the store unchanged.
cp "$store" "$work/before"
for bad in "General.NoSuchKey 1" "Nowhere.PixelSize 1" "General.PixelSize abc" \
  "General.PixelSize 40000" "Advanced.Adv_TimeDelay 3e9" "General.FocalLength 1e39" \
  "General.PixelSize 0x10"; do
  # shellcheck disable=SC2086
  check "refused: $bad" run 1 set $bad && check "one line on stderr: $bad" one_line_error
done
check "refused: over-long text" run 1 set General.LockMessage "$(printf 'x%.0s' {1..128})"
check "refused: line break" run 1 set General.LockMessage "$(printf 'one\ntwo')"
check "refused: unknown get" run 1 get General.NoSuchKey
check "nothing half-written" cmp -s "$store" "$work/before"

# list: one JSON object with every key, typed as the saver reads it.
check "list" run 0 list
check "list is one line of JSON" json_lines "$work/out"
check "list has every catalogue key" test "$(python3 -c '
import json, sys
print(sum(len(keys) for keys in json.load(open(sys.argv[1])).values()))' "$work/out")" = 147
check "list integer" test "$(json_value General.PixelSize)" = 4
check "list single" test "$(json_value Galaxy.Galaxy_CometCPersist)" = 0.5
check "list switch" test "$(json_value General.FixedHues)" = true
check "list text" test "$(json_value General.LockMessage)" = '"gone fishing"'

# Stored bytes that are not UTF-8 still give JSON, from both tools.
printf '[General]\nLockMessage=caf\351 \377\376\n[SoundFX]\nFire_Launch=\300\257/boom.wav\n' >"$store"
check "list with Latin-1 bytes" run 0 list
check "list parses" json_lines "$work/out"
check "get prints the stored bytes" run 0 get General.LockMessage
check "bytes as stored" cmp -s "$work/out" <(printf 'caf\351 \377\376\n')
check "show-settings with Latin-1 bytes" "$render" --show-settings >"$work/show"
check "show-settings parses" json_lines "$work/show"

# reset: every catalogue value back to its default; other content stays.
printf '; my notes\n[General]\nPixelSize=7\n[Starfield]\nStar_Stars=999\n[Mine]\nkeep=me\n' >"$store"
check "reset one section" run 0 reset starfield
check "that section reset to its default" value_is Starfield.Star_Stars 120
check "other sections untouched" value_is General.PixelSize 7
check "reset" run 0 reset
check "reset prints nothing" test ! -s "$work/out"
check "list after reset" run 0 list
mv "$work/out" "$work/reset.json"
rm -rf "$XDG_CONFIG_HOME"
check "list of an empty store" run 0 list
check "reset gives the defaults of an empty store" cmp -s "$work/out" "$work/reset.json"
printf '; my notes\n[Mine]\nkeep=me\n' >"$work/mine"
mkdir -p "$XDG_CONFIG_HOME/Lumivane" && cp "$work/mine" "$store"
check "reset again" run 0 reset
check "comments kept" grep -q '^; my notes' "$store"
check "other sections kept" grep -q '^keep=me' "$store"
check "every key written" test "$(grep -c '=' "$store")" -eq 148
check "reset unknown section" run 1 reset Nowhere && check "one line" one_line_error

# A read-only settings file is a locked configuration: refused, left as it is, even with a
# damaged line that a write would otherwise keep aside.
echo 'a note without an equals sign' >>"$store"
cp "$store" "$work/before"
chmod a-w "$store"
check "set on a read-only file" run 1 set General.PixelSize 3 && check "one line" one_line_error
check "reset on a read-only file" run 1 reset
check "read-only file unchanged" cmp -s "$store" "$work/before"
check "nothing kept aside" test ! -e "$store.damaged"
check "still read-only" test "$(stat -c %a "$store")" = 444
check "still read, default kept" value_is General.PixelSize 1
chmod u+w "$store"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
