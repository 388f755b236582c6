#!/usr/bin/env bash
# The command line of lumivane-render, run for real against a store in a temporary folder.
# Usage: render_cli_test.sh path/to/lumivane-render
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
passed=0
failed=0

check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name" >&2
  fi
}

# run EXPECTED_STATUS ARGS...: runs the tool, keeps stdout and stderr, checks the status.
run() {
  local want=$1
  shift
  "$tool" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "lumivane-render $* exited $got, expected $want; stderr: $(cat "$work/err")" >&2
    return 1
  fi
}

one_line_error() {
  [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q '^lumivane-render: ' "$work/err" && [ ! -s "$work/out" ]
}

for bad in "--frames abc" "--frames -1" "--size 0x5" "--size 99999x10" "--size 640" \
  "--size x" "--bogus" "--effect nine" "--effect 6" "--every 5" "--out a.png --every 0" \
  "--set Nope.Key=1" "--set Starfield.NoSuchKey=3" "--set garbage" "--seed -3" \
  "--seed 99999999999999999999999" "--frames" "--theme" "--theme -1" "--theme x" \
  "--effect fireworks --theme 14" "--effect starfield --theme 1" "--effect galaxies --theme 17"; do
  # shellcheck disable=SC2086
  check "usage error: $bad" run 2 $bad && check "one line on stderr: $bad" one_line_error
done

check "help" run 0 --help
check "help text" grep -q -- '--show-settings' "$work/out"

check "effects not built yet" run 3 --effect galaxies --frames 1
check "not built message" grep -q 'not built yet' "$work/err"

args=(--effect starfield --seed 5 --frames 40 --size 320x200)
check "render" run 0 "${args[@]}" --out "$work/a.png"
report=$(tail -n 1 "$work/out")
check "report names the effect" grep -q '"effect":"starfield","effect_number":1' <<<"$report"
check "report gives the seed" grep -q '"seed":5' <<<"$report"
check "report counts lit pixels" grep -Eq '"lit_pixels":[1-9][0-9]*' <<<"$report"
check "png written" test -s "$work/a.png"
check "png signature" grep -q 'PNG' <(head -c 8 "$work/a.png")
check "render again" run 0 "${args[@]}" --out "$work/b.png"
check "same seed, same frame" cmp -s "$work/a.png" "$work/b.png"
check "same seed, same report" test "$report" = "$(tail -n 1 "$work/out")"

check "every 10th frame" run 0 "${args[@]}" --out "$work/seq.png" --every 10
check "four numbered frames" test "$(ls "$work"/seq-0000*.png | wc -l)" -eq 4
check "last numbered frame is the last frame" cmp -s "$work/seq-000040.png" "$work/seq.png"

check "bench" run 0 "${args[@]}" --bench
check "bench figures" grep -Eq '"ms_per_frame_median":[0-9.e-]+,"ms_per_frame_p99":' "$work/out"

# Fireworks: themes, the demonstration, scaling and cues.
fw=(--effect fireworks --seed 3 --frames 60 --size 320x200)
check "fireworks theme" run 0 "${fw[@]}" --theme 12 --out "$work/t12.png"
check "report gives the theme" grep -q '"effect":"fireworks","effect_number":0,"theme":12' "$work/out"
check "fireworks draw" grep -Eq '"lit_pixels":[1-9][0-9]*' "$work/out"
check "fireworks demonstration" run 0 "${fw[@]}" --demo
check "demonstration is seeded" grep -q '"seed":3' "$work/out"
check "scaled fireworks" run 0 "${fw[@]}" --scale
check "fireworks default theme" run 0 "${fw[@]}" --theme 0
check "galaxy themes accepted" run 3 --effect galaxies --theme 16 --frames 1
check "cues" run 0 "${fw[@]}" --frames 200 --cues --set SoundFX.Fire_Launch=up.wav --set Fireworks.FireLaunchPct=100
check "one line per launch at set-up" test "$(grep -c '^{"frame":0,"cue":"Fire_Launch","file":"up.wav"}$' "$work/out")" -eq 16
check "burst cues follow" grep -Eq '^\{"frame":[1-9][0-9]*,"cue":"Fire_[A-Za-z]+","file":""\}$' "$work/out"
check "report comes last" grep -q '"lit_pixels"' <(tail -n 1 "$work/out")
check "no cues unless asked" run 0 "${fw[@]}"
check "only the report" test "$(wc -l <"$work/out")" -eq 1

check "show settings" run 0 --show-settings --set Starfield.Star_Stars=500 --set general.pixelsize=12
for field in '"Star_Stars":500' '"FireSparks":450' '"Galaxy_CometcPersist":0.998' \
  '"PixelSize":9' '"FocalLength":1' '"FrameDelay":25' '"FramesPerEffect":0' '"PerfMult":1' \
  '"LockMessage":""' '"SoundOn":false' '"ColorHueWheel":60'; do
  check "show settings has $field" grep -q "$field" "$work/out"
done
check "overrides never write the store" test ! -e "$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini"

mkdir -p "$XDG_CONFIG_HOME/Lumivane"
printf '[General]\nAnimationType=1\n[Starfield]\nStar_Stars=30\n' >"$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini"
check "stored effect is the default" run 0 --frames 2 --size 64x64 --seed 1
check "stored effect ran" grep -q '"effect":"starfield"' "$work/out"
check "stored settings are read" run 0 --show-settings
check "stored value shows" grep -q '"Star_Stars":30' "$work/out"

printf 'garbage \001\002 [[[\n' >"$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini"
check "damaged store still renders" run 0 --effect starfield --frames 2 --size 64x64 --seed 1

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
