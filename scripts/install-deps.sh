#!/usr/bin/env bash
# Installs the Debian 12 packages that building and running Velun need; with
# --test, also those that only the tests use (`make test` asks for them, `make run`
# does not). Idempotent: packages already installed are left alone, and nothing is
# done when all of them are present. Runs apt-get as root, or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config lld
  qt6-base-dev libgl-dev libfontconfig-dev
  libfribidi-dev zlib1g-dev
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth imagemagick xclip xdotool
  qt6-wayland
  fonts-dejavu-core fonts-freefont-ttf culmus
)
# Only the tests need these.
TEST_PACKAGES=(
  openbox weston
  libreoffice-writer-nogui poppler-utils qpdf python3-pypdf
  desktop-file-utils appstream dpkg-dev file groff-base lintian
  at-spi2-core python3-pyatspi orca dbus
  qt6-gtk-platformtheme  # the reader under a GTK theme (QT_QPA_PLATFORMTHEME=gtk3)
)
[ "${1:-}" = "--test" ] && PACKAGES+=("${TEST_PACKAGES[@]}")

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  SUDO=(sudo -n)
else
  echo "install-deps: these Debian packages are missing: ${missing[*]}" >&2
  echo "install-deps: I am not root and cannot use sudo without a password; install them with" >&2
  echo "  sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
