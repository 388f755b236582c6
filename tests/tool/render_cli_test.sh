#!/usr/bin/env bash
# The command line of lumivane-render, run for real against a store in a temporary folder.
# Usage: render_cli_test.sh path/to/lumivane-render path/to/webp_check
set -u
tool=$1
webp_check=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
# shellcheck source=cli_checks.sh
. "$(dirname "$0")/cli_checks.sh"

for bad in "--frames abc" "--frames -1" "--size 0x5" "--size 99999x10" "--size 640" \
  "--size x" "--bogus" "--effect nine" "--effect 6" "--every 5" "--out a.png --every 0" \
  "--set Nope.Key=1" "--set Starfield.NoSuchKey=3" "--set garbage" "--seed -3" \
  "--seed 99999999999999999999999" "--frames" "--theme" "--theme -1" "--theme x" \
  "--effect fireworks --theme 14" "--effect starfield --theme 1" "--effect galaxies --theme 17" \
  "--out a.webp --frames 4097" "--out a.webp --frames 2000 --size 1920x1080" \
  "--out a.webp --frames 3 --every 4" "--driver --out a.webp" "--out a.jpg" "--out png"; do
  # shellcheck disable=SC2086
  check "usage error: $bad" run 2 $bad && check "one line on stderr: $bad" one_line_error
done

check "help" run 0 --help
check "help text" grep -q -- '--show-settings' "$work/out"

args=(--effect starfield --seed 5 --frames 40 --size 320x200)
check "render" run 0 "${args[@]}" --out "$work/a.png"
report=$(tail -n 1 "$work/out")
check "report names the effect" grep -q '"effect":"starfield","effect_number":1' <<<"$report"
check "report gives the seed" grep -q '"seed":5' <<<"$report"
check "report counts lit pixels" grep -Eq '"lit_pixels":[1-9][0-9]*' <<<"$report"
check "png written" grep -q 'PNG' <(head -c 8 "$work/a.png")
check "render again" run 0 "${args[@]}" --out "$work/b.png"
check "same seed, same frame" cmp -s "$work/a.png" "$work/b.png"
check "same seed, same report" test "$report" = "$(tail -n 1 "$work/out")"

check "every 10th frame, into a new folder" run 0 "${args[@]}" --out "$work/new/seq.png" --every 10
check "four numbered frames" test "$(ls "$work"/new/seq-0000*.png | wc -l)" -eq 4
check "last numbered frame is the last frame" cmp -s "$work/new/seq-000040.png" "$work/new/seq.png"
touch "$work/file"
check "a folder that cannot be made" run 1 "${args[@]}" --out "$work/file/seq.png" --every 10
check "is said in one line, before drawing" one_line_error

# Animations, read back with libwebp's demuxer: frames, size, durations (the frame delay, K
# times it with --every K) and the last frame against the PNG still of the same render.
check "webp" run 0 "${args[@]}" --frames 20 --out "$work/a.webp"
check "png still of the same" run 0 "${args[@]}" --frames 20 --out "$work/still.png"
check "webp read back" "$webp_check" "$work/a.webp" 20 320 200 25 "$work/still.png"
check "webp of every 4th frame" run 0 "${args[@]}" --frames 20 --every 4 --out "$work/b.WebP" \
  --set Advanced.Adv_TimeDelay=30
check "webp every 4th read back" "$webp_check" "$work/b.WebP" 5 320 200 120 "$work/still.png"

# Progress: on a terminal once a render takes more than about a second, never into a pipe.
slow=(--effect galaxies --frames 2000 --size 1920x1080 --seed 1 --set Galaxy.Galaxy_Stars=9999
  --set Galaxy.Galaxy_NewFreq=9999 --set Galaxy.Galaxy_NovaFreq=9999)
on_terminal() { script -qec "$*" "$work/typescript" >/dev/null; }
check "slow render on a terminal" on_terminal "$tool" "${slow[@]}"
check "progress bar shown" grep -Eq '\] [0-9]+/2000 frames, [0-9]+:[0-9]{2} left' "$work/typescript"
check "slow render into a pipe" run 0 "${slow[@]}"
check "no progress bar in a pipe" test ! -s "$work/err"

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
check "cues" run 0 "${fw[@]}" --frames 200 --cues --set SoundFX.Fire_Launch=up.wav --set Fireworks.FireLaunchPct=100
check "one line per launch at set-up" test "$(grep -c '^{"frame":0,"cue":"Fire_Launch","file":"up.wav"}$' "$work/out")" -eq 16
check "burst cues follow" grep -Eq '^\{"frame":[1-9][0-9]*,"cue":"Fire_[A-Za-z]+","file":""\}$' "$work/out"
check "report comes last" grep -q '"lit_pixels"' <(tail -n 1 "$work/out")
check "no cues unless asked" run 0 "${fw[@]}"
check "only the report" test "$(wc -l <"$work/out")" -eq 1

check "show settings" run 0 --show-settings --set Starfield.Star_Stars=500 --set general.pixelsize=12
for field in '"Star_Stars":500' '"Galaxy_CometcPersist":0.998' '"PixelSize":9' '"SoundOn":false'; do
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

check "galaxies theme" run 0 --effect galaxies --theme 16 --frames 30 --size 160x100 --seed 2
check "theme in the report" grep -q '"effect":"galaxies","effect_number":5,"theme":16' "$work/out"
check "galaxies demo" run 0 --effect galaxies --demo --frames 30 --size 160x100 --seed 2

check "preview" run 0 --preview --size 320x240 --seed 4 --out "$work/p.png"
check "preview report" grep -Eq '"preview":true,"width":320,"height":240,"seed":4,"lit_pixels":[1-9]' \
  "$work/out"
check "preview of no size" run 0 --preview --size 0x0 --out "$work/p0.png"
check "preview of one pixel" run 0 --preview --size 1x1 --out "$work/p1.png"

# The driver: one JSON line per run; the cycle stops at --runs, the chosen effect at --frames.
rm -f "$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini"
check "driver cycle" run 0 --driver --runs 20 --frames 100000 --size 64x48 --seed 2 \
  --set Advanced.Adv_EffectCycle=100 --set Advanced.Adv_PickEffects=66
check "driver prints one line per run" test "$(wc -l <"$work/out")" -eq 20
check "driver shows starfield after the themes" \
  grep -qx '{"run":14,"effect":1,"theme":0,"shown":true,"frames":100}' "$work/out"
check "driver chosen effect" run 0 --driver --frames 30 --size 64x48 --seed 2 \
  --set General.AnimationType=1
check "driver chosen effect stops at --frames" \
  grep -qx '{"run":1,"effect":1,"theme":0,"shown":true,"frames":30}' "$work/out"
check "driver without effect bits ends" run 0 --driver --runs 50 \
  --set Advanced.Adv_EffectCycle=100 --set Advanced.Adv_PickEffects=0
check "tour" run 0 --tour --runs 17 --frames 1000000 --size 32x32
check "tour galaxies then fireworks" grep -q '"run":17,"effect":0,"theme":1,"shown":true' "$work/out"
check "driver refuses --effect" run 2 --driver --effect 1

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
