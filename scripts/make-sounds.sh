#!/usr/bin/env bash
# Regenerates the program's sounds: the game state spoken by espeak-ng for
# each state change, and a ringing bell made by sox for the alarm.
set -euo pipefail
cd "$(dirname "$0")/../resources/sounds"
for tool in espeak-ng sox; do
  if ! command -v "$tool" >/dev/null; then
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get install -y espeak-ng sox
    break
  fi
done

speak() { # id text
  espeak-ng -v en-gb -s 150 -w "raw-$1.wav" "$2"
  # Mono 22.05 kHz 16-bit, a short fade so it never clicks.
  sox "raw-$1.wav" -r 22050 -c 1 -b 16 "$1.wav" fade 0.01 0 0.05 norm -3
  rm "raw-$1.wav"
}
speak 135 "Creating"
speak 137 "Waiting"
speak 138 "Briefing"
speak 139 "Playing"
speak 140 "Debriefing"

# The alarm: two bell strikes (a fundamental and its inharmonic partials, each decaying).
sox -n -r 22050 -c 1 -b 16 strike.wav synth 0.6 sine 880 sine 2200 sine 3350 fade q 0.002 0.6 0.55 remix - gain -6
sox strike.wav strike.wav 161.wav norm -3
rm strike.wav
