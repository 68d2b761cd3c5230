#!/usr/bin/env bash
# The repeating alarm, recorded from a PulseAudio null sink: every ring
# sounds as long as the sound file, not only the first.
set -u
probe=$1
sound=$2
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../cli/checks.sh"
enter_work_folder
export HOME="$work" XDG_RUNTIME_DIR="$work/run" PULSE_SERVER="unix:$work/run/pulse/native"
mkdir -m 700 run
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --disable-shm=yes \
  -L module-native-protocol-unix -L "module-null-sink sink_name=garrison_test rate=44100 channels=1 norewinds=1" \
  > pulse.log 2>&1 &
pulse=$!
trap 'kill $pulse 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  pactl info > /dev/null 2>&1 && break
  sleep 0.05
done
pactl set-default-sink garrison_test
status_is "PulseAudio runs with the test's sink" $? 0
parec -d garrison_test.monitor --raw --format=s16le --rate=44100 --channels=1 > rings.raw &
recorder=$!
QT_QPA_PLATFORM=offscreen "$probe" > probe.log 2>&1
status_is "the alarm probe ran: $(cat probe.log)" $? 0
kill $recorder
wait $recorder 2>/dev/null
out=$(python3 "$here/rings.py" rings.raw "$sound" 4 2)
status_is "four full rings ($out)" $? 0
echo "$out"
finish
