#!/usr/bin/env bash
# What reaches a real sound server (a private PulseAudio, its null sink's monitor recorded): exact
# cues through sound_probe, and the saver playing Fireworks with sound on.
# Usage: sound_e2e.sh CASE path/to/sound_probe path/to/lumivane
#   CASE: cues | sides | saver | bad_files | no_server
set -u
case_name=$1
probe=$(readlink -f "$2")
lumivane=$(readlink -f "$3")
here=$(cd "$(dirname "$0")" && pwd)
sounds=$(cd "$(dirname "$lumivane")/../../share/lumivane/sounds" 2>/dev/null && pwd)

# shellcheck source=e2e_lib.sh
. "$here/e2e_lib.sh"
need pulseaudio parecord sox soxi Xvfb xdotool
export QT_QPA_PLATFORM=xcb HOME=$work

# The private sound server; PULSE_SERVER keeps every client here away from anyone else's.
start_pulse() {
  mkdir -p "$work/pulse"
  cat >"$work/pulse/default.pa" <<PA
load-module module-null-sink sink_name=lvsink rate=44100 channels=2
set-default-sink lvsink
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native
PA
  PULSE_RUNTIME_PATH=$work/pulse pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --system=false --disallow-exit --use-pid-file=false --disable-shm=yes \
    -F "$work/pulse/default.pa" >"$work/pulse.log" 2>&1 &
  pids+=($!)
  export PULSE_SERVER=unix:$work/pulse/native PULSE_RUNTIME_PATH=$work/pulse
  wait_until 10 pactl info >/dev/null 2>&1 || { echo "no sound server: $(cat "$work/pulse.log")"; exit 1; }
}

# record COMMAND...: runs COMMAND while the sink's monitor is recorded into $work/rec.wav.
record() {
  parecord --latency-msec=10 --device=lvsink.monitor --file-format=wav "$work/rec.wav" &
  local recorder=$!
  pids+=("$recorder")
  wait_until 10 bigger_than "$work/rec.wav" 8000 || fail "the recorder did not start"
  "$@"
  sleep 0.3
  kill "$recorder"
  wait "$recorder" 2>/dev/null
}

bigger_than() { [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt "$2" ]; }

# heard FILE [SOX EFFECTS...]: seconds from the first to the last sample above -40 dB.
heard() {
  local in=$1
  shift
  sox "$in" "$work/band.wav" "$@" 2>/dev/null &&
    sox "$work/band.wav" "$work/trim.wav" silence 1 0.001 1% reverse silence 1 0.001 1% reverse &&
    soxi -D "$work/trim.wav"
}
# rms FILE CHANNEL: the RMS amplitude of one channel.
rms() { sox "$1" -n remix "$2" stats 2>&1 | awk '/^RMS lev dB/ { print ($4 == "-inf" ? -200 : $4) }'; }
# at_least A B: A >= B (decimal numbers).
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

tone() { sox -n -r 44100 -c 1 -b 16 "$work/$1.wav" synth "$2" sine "$3" vol 0.5; }

# saver_store [LAUNCH [STANDARD]]: Fireworks with sound on, the built-in sounds where none given.
saver_store() {
  local cues=(Fire_Launch=launch-whistle Fire_Standard=bang Fire_MultiBurst=multi-burst-rattle
    Fire_JetBurst=jet-roar Fire_Scintil=scintillator-crackle Fire_Sparkle=sparkler-fizz
    Fire_RingDisk=ring-thump Fire_Twister=twister-whirl) own=("$@") i
  store '[General]\nAnimationType=0\n[SoundFX]\nSoundFX_ON=1\n'
  for i in "${!cues[@]}"; do
    echo "${cues[$i]%%=*}=${own[$i]:-$sounds/${cues[$i]#*=}.wav}"
  done >>"$XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini"
}

# run_saver SECONDS: the saver for that long, then SIGTERM, which must end it promptly.
run_saver() {
  start_saver --seed 7
  sleep "$1"
  alive "$saver" || fail "the saver ended by itself"
  stop "$saver" "the saver"
}

case "$case_name" in
cues)
  # A cue alone plays to its end; two that overlap both do, each tone heard in its own band.
  start_pulse
  tone low 1.0 440
  tone high 1.0 2000
  record "$probe" "$work/low.wav" 0.5 0 1500
  alone=$(heard "$work/rec.wav")
  record "$probe" "$work/low.wav" 0.5 0 "$work/high.wav" 0.5 300 1500
  low=$(heard "$work/rec.wav" sinc -700)
  high=$(heard "$work/rec.wav" sinc 1500-2500)
  echo "of 1.000 s: alone $alone s; overlapping $low s and $high s"
  at_least "$alone" 0.95 || fail "a cue alone was cut short"
  at_least "$low" 0.95 && at_least "$high" 0.95 || fail "one cue cut the other short"
  ;;
sides)
  # A cue at the left edge sounds on the left, one at the right edge on the right.
  start_pulse
  tone a 0.5 440
  for side in 0 1; do
    record "$probe" "$work/a.wav" "$side" 0 800
    near=$(rms "$work/rec.wav" $((side + 1)))
    far=$(rms "$work/rec.wav" $((2 - side)))
    echo "a cue at across=$side: $near dB on its side, $far dB on the other"
    at_least "$near" "$(awk -v f="$far" 'BEGIN { print f + 20 }')" ||
      fail "a cue at across=$side: $near dB on its side, $far dB on the other"
  done
  ;;
saver)
  # The saver plays Fireworks with the built-in sounds: they are heard, nothing is printed,
  # and SIGTERM ends it.
  [ -n "$sounds" ] || { fail "the built-in sounds were not made"; exit 1; }
  start_pulse
  start_x 800 600
  saver_store
  record run_saver 6
  got=$(heard "$work/rec.wav")
  echo "Fireworks sounded over $got s of 6 s"
  at_least "$got" 3 || fail "the saver's cues were not heard"
  [ ! -s "$work/saver.err" ] || fail "the saver printed: $(cat "$work/saver.err")"
  ;;
bad_files)
  # A FIFO and a huge file as cues: one line for each, the saver keeps running and SIGTERM
  # still ends it.
  start_pulse
  start_x 800 600
  mkfifo "$work/fifo.wav"
  truncate -s 300M "$work/huge.wav"
  saver_store "$work/fifo.wav" "$work/huge.wav"
  run_saver 3
  [ "$(wc -l <"$work/saver.err")" -eq 2 ] && grep -q "fifo.wav: not a regular file" "$work/saver.err" &&
    grep -q "huge.wav: larger than 32 MB" "$work/saver.err" || fail "not one line for each bad file"
  ;;
no_server)
  # No sound server: one line, then silence; frames go on and SIGTERM ends the saver.
  start_x 800 600
  export PULSE_SERVER=unix:$work/nobody-here
  saver_store
  run_saver 3
  [ "$(wc -l <"$work/saver.err")" -eq 1 ] && grep -q "no sound device" "$work/saver.err" ||
    fail "not one line"
  ;;
*)
  echo "unknown case $case_name"
  exit 2
  ;;
esac
exit "$failed"
