#!/usr/bin/env bash
# Lists the reader's own functions that run until its first paint, one symbol a
# line, for the linker to place side by side (CMakeLists.txt): start-up then maps a
# few pages of the program's code instead of nearly all of it. Run it again when the
# start-up path changes; names no longer in the program are passed over.
# Usage: scripts/startup-order.sh BUILD_DIR > resources/startup-order.txt
set -euo pipefail
program="$(cd "${1:?usage: startup-order.sh BUILD_DIR}" && pwd)/velun"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config"
# The first run writes the settings; the second starts as a user's reader does.
run() {
  HOME="$work" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen VELUN_EXIT_AFTER_FIRST_PAINT=1 "$@" >/dev/null 2>&1
}
run "$program"
run valgrind --tool=callgrind --dump-instr=yes --compress-pos=no --compress-strings=no --dump-before=getrusage \
  --callgrind-out-file="$work/profile" "$program"
# Addresses, as 16 hex digits so that they sort as text: every instruction of the
# program that ran until the first paint (part 1 of the profile ends there), and
# the start of each of its functions. Each address goes to the function before it,
# so that the parts of a function the compiler split off (.cold) are placed too.
pad() { awk '{ a = $1; sub(/^0x/, "", a); while (length(a) < 16) a = "0" a; $1 = tolower(a); print }'; }
awk -v program="$program" '
  /^ob=/ { object = substr($0, 4) }
  /^fn=/ { mine = (object == program) }
  mine && /^0x/ { print $1, "1" }
' "$work/profile.1" | pad >"$work/ran"
nm --defined-only "$program" | awk '$2 ~ /^[tTwW]$/ { print $1, "0", $3 }' | pad >"$work/functions"
sort -k1,1 -k2,2 "$work/ran" "$work/functions" |
  awk '$2 == "0" { name = $3; next } name != "" && !(name in seen) { seen[name] = 1; print name }' | sort
