#!/usr/bin/env bash
# What sound costs: the saver at the defaults (Fireworks, 1280 x 720) twice side by side on one
# Xvfb, one with sound on and the built-in sounds, one with sound off, both with --seed 7 and
# --stats, against a private PulseAudio null sink. Prints each run's CPU and the difference.
# Usage: scripts/measure_sound.sh [SECONDS] [BUILD_FOLDER]
set -u
secs=${1:-60}
build=$(readlink -f "${2:-build}")
sounds=$build/share/lumivane/sounds
work=$(mktemp -d)
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
pids=()
mkdir -p "$work/pulse" "$work/on/Lumivane" "$work/off/Lumivane" "$work/run1" "$work/run2"
chmod 700 "$work/run1" "$work/run2"
cat >"$work/pulse/default.pa" <<PA
load-module module-null-sink sink_name=lvsink rate=44100 channels=2
set-default-sink lvsink
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native
PA
HOME=$work PULSE_RUNTIME_PATH=$work/pulse pulseaudio -n --daemonize=no --exit-idle-time=-1 \
  --system=false --disallow-exit --use-pid-file=false -F "$work/pulse/default.pa" \
  >/dev/null 2>&1 &
pids+=($!)
display=$((300 + RANDOM % 500))
Xvfb ":$display" -screen 0 1280x720x24 -nolisten tcp 2>/dev/null &
pids+=($!)
sleep 2
export PULSE_SERVER=unix:$work/pulse/native DISPLAY=:$display QT_QPA_PLATFORM=xcb HOME=$work
{
  printf '[General]\nAnimationType=0\n[SoundFX]\nSoundFX_ON=1\n'
  keys=(Fire_Launch Fire_Standard Fire_MultiBurst Fire_JetBurst Fire_Scintil Fire_Sparkle
    Fire_RingDisk Fire_Twister)
  names=(launch-whistle bang multi-burst-rattle jet-roar scintillator-crackle sparkler-fizz
    ring-thump twister-whirl)
  for i in "${!keys[@]}"; do printf '%s=%s/%s.wav\n' "${keys[$i]}" "$sounds" "${names[$i]}"; done
} >"$work/on/Lumivane/LMVN_SS.ini"
sed 's/SoundFX_ON=1/SoundFX_ON=0/' "$work/on/Lumivane/LMVN_SS.ini" >"$work/off/Lumivane/LMVN_SS.ini"
XDG_RUNTIME_DIR=$work/run1 XDG_CONFIG_HOME=$work/on "$build/src/app/lumivane" --seed 7 --stats \
  >"$work/on.json" 2>&1 &
on=$!
XDG_RUNTIME_DIR=$work/run2 XDG_CONFIG_HOME=$work/off "$build/src/app/lumivane" --seed 7 --stats \
  >"$work/off.json" 2>&1 &
off=$!
sleep "$secs"
kill -TERM "$on" "$off"
wait "$on" "$off"
cpu() { grep -o '"cpu_s":[0-9.]*' "$1" | cut -d: -f2; }
awk -v on="$(cpu "$work/on.json")" -v off="$(cpu "$work/off.json")" -v s="$secs" 'BEGIN {
  printf "sound on %.2f s, off %.2f s CPU in %d s: on %.2f %%, off %.2f %%, difference %.2f %% of a core\n",
         on, off, s, 100 * on / s, 100 * off / s, 100 * (on - off) / s }'
