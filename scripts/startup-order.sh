#!/usr/bin/env bash
# Lists the reader's own functions that run until its first paint, one mangled name
# a line, for the linker to place side by side (CMakeLists.txt): start-up then maps a
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
run valgrind --tool=callgrind --demangle=no --compress-strings=no --dump-before=getrusage \
  --callgrind-out-file="$work/profile" "$program"
# Part 1 ends at the first paint. A function's own costs follow its fn= line and
# belong to the object named by the last ob= or fl= context.
awk -v program="$program" '
  /^ob=/ { object = substr($0, 4) }
  /^fn=/ { name = substr($0, 4); mine = (object == program) }
  /^c?fn=|^cob=|^calls=/ { next }
  mine && /^[0-9+-]/ { print name; mine = 0 }
' "$work/profile.1" | sed "s/'[0-9]*\$//" | grep '^[A-Za-z_]' | sort -u
