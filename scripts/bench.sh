#!/usr/bin/env bash
# Runs the benchmarks and prints their goals as one table. Start-up is measured
# under a private Xvfb when one can be started (as a desktop start would be),
# otherwise on the offscreen platform.
#   BENCH_DISPLAY  display number for the private Xvfb, default 97
set -euo pipefail
bench="$1/velun_bench"
shift
display=":${BENCH_DISPLAY:-97}"
runtime=$(mktemp -d)
cleanup() {
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT
platform=offscreen
if command -v Xvfb >/dev/null && [ ! -e "/tmp/.X11-unix/X${display#:}" ]; then
  Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X${display#:}" ] && platform=xcb
fi
DISPLAY="$display" QT_QPA_PLATFORM="$platform" XDG_RUNTIME_DIR="$runtime" nice "$bench" "$@"
