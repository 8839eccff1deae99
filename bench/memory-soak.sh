#!/usr/bin/env bash
# Memory over time: drives the reader under a private Xvfb at 1920x1080 (xdotool)
# through every article, 100 searches, the index, resizes, Back and the side panel,
# twice over, and reports its peak and final RSS. Goals: the RSS after the second
# pass within 5 MB of the RSS after the first (no growth), and the peak under 60 MB.
#   bench/memory-soak.sh BUILD_DIR
#   MEMORY_DISPLAY  display number for the private Xvfb, default 96
set -euo pipefail
velun="$1/velun"
display=":${MEMORY_DISPLAY:-96}"
home=$(mktemp -d)
cleanup() {
  if [ -n "${reader:-}" ]; then kill "$reader" 2>/dev/null || true; wait "$reader" 2>/dev/null || true; fi
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT
Xvfb "$display" -screen 0 1920x1080x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=xcb "$velun" >/dev/null 2>&1 &
reader=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --pid "$reader" --onlyvisible 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "memory-soak: the reader showed no window" >&2; exit 1; }

kb() { awk -v field="$1:" '$1 == field {print $2}' "/proc/$reader/status"; }
# Lets the reader catch up with the keys sent so far.
settle() { sleep "${1:-1}"; }
keys() { xdotool key --clearmodifiers --delay 15 "$@"; }

# Words of the collection and a few it lacks (a search that finds nothing).
words=(letter alphabet writing type print screen hebrew greek latin number
       punctuation accent serif comma period script stone paper press font
       glyph reader index article page vowel consonant ink scribe column
       quixotry zebrafish xylograph unfound qwerty)

pass() {
  xdotool windowsize "$window" 1920 1080
  settle
  for _ in $(seq 187); do keys Right; done
  settle 2
  for i in $(seq 100); do
    keys alt+F3
    settle 0.2
    xdotool type --delay 10 "${words[i % ${#words[@]}]}"
    keys Return
    settle 0.2
    keys Escape
  done
  keys ctrl+d
  settle
  keys Escape
  for size in "1024 768" "1366 768" "800 600" "1920 1080"; do
    # shellcheck disable=SC2086
    xdotool windowsize "$window" $size
    settle 0.5
  done
  for _ in $(seq 30); do keys alt+Left; done
  # The side panel (shown at this width): search as you type, the Contents filter,
  # hidden and shown again.
  keys ctrl+f
  for word in "${words[@]}" e the; do
    xdotool type --delay 10 "$word"
    settle 0.2
    keys Down Return ctrl+f BackSpace
  done
  keys ctrl+shift+c
  for word in al ta hebrew 12; do
    xdotool type --delay 10 "$word"
    settle 0.2
    keys Escape
  done
  keys F9
  settle 0.5
  keys F9
  settle 2
}

pass
title=$(xdotool getwindowname "$window")
first=$(kb VmRSS)
pass
final=$(kb VmRSS)
peak=$(kb VmHWM)
kill -0 "$reader" 2>/dev/null || { echo "memory-soak: the reader ended during the run" >&2; exit 1; }
growth=$((final - first))
mb() { awk -v k="$1" 'BEGIN {printf "%.1f MB", k / 1024}'; }
verdict() { [ "$1" = 1 ] && echo yes || echo NO; }
echo "reader's window after the first pass: $title"
echo "| what | Velun | goal | met |"
echo "|---|---|---|---|"
echo "| RSS after the first pass, 1920x1080 | $(mb "$first") | | |"
echo "| RSS after the second pass (final) | $(mb "$final"), growth $(mb "$growth") | within 5 MB of the first pass | $(verdict $((growth <= 5120 && growth >= -5120))) |"
echo "| peak RSS | $(mb "$peak") | under 60 MB | $(verdict $((peak < 61440))) |"
