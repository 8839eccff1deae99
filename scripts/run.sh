#!/usr/bin/env bash
# Opens the reader; without a display, says so and renders the opening page to a PNG.
set -euo pipefail
velun="$1"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out="${VELUN_PNG:-velun-opening.png}"
  echo "No display: rendering the opening page to $out instead."
  QT_QPA_PLATFORM=offscreen exec "$velun" --render 1 --size 240x320 --out "$out"
fi
exec "$velun"
