#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop finds there:
# the programs, the menu entry, the icons, the AppStream metadata and the manuals.
# usage: CheckInstalledTree.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build="$1" id="$2" version="$3"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null

for program in velun velun-pack; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
# Printing is a module loaded when first used: starting the reader does not load Qt Print Support.
[ -f "$prefix/lib/velun/print/velun-print.so" ] || fail "the print module is not installed"
readelf -d "$prefix/bin/velun" | grep -q 'libQt6PrintSupport' && fail "velun loads Qt Print Support at start"
out="$("$prefix/bin/velun" --version)" || fail "velun --version failed"
[ "$out" = "Velun $version" ] || fail "velun --version says '$out'"
# Read whole first: grep -q stops early, and a long help then ends in SIGPIPE.
help="$("$prefix/bin/velun" --help)" || fail "velun --help failed"
grep -q 'registry.txt' <<<"$help" || fail "velun --help does not name the settings file"

desktop="$prefix/share/applications/$id.desktop"
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $id.desktop"
  exec_program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
  [ -x "$prefix/bin/$exec_program" ] || fail "the menu entry starts '$exec_program', which is not installed"
  grep -qx "Icon=$id" "$desktop" || fail "the menu entry does not name the icon $id"
else
  fail "no desktop entry $id.desktop"
fi

icons="$prefix/share/icons/hicolor"
for size in 16 22 24 32 48 64 128 256; do
  png="$icons/${size}x${size}/apps/$id.png"
  if [ -f "$png" ]; then
    [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "$png is not ${size}x${size}"
  else
    fail "no ${size}x${size} icon"
  fi
done
grep -q '<svg' "$icons/scalable/apps/$id.svg" 2>/dev/null || fail "no scalable icon"

metainfo="$prefix/share/metainfo/$id.metainfo.xml"
if [ -f "$metainfo" ]; then
  appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli rejects the metadata"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metadata launches no $id.desktop"
  grep -q "<release version=\"$version\"" "$metainfo" || fail "metadata does not name release $version"
  shot="$(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">.*/\([^/<]*\)</image>.*|\1x\2 \3|p' "$metainfo")"
  png="$prefix/share/doc/velun/screenshots/${shot#* }"
  if [ -f "$png" ]; then
    [ "$(identify -format '%wx%h' "$png")" = "${shot% *}" ] || fail "the screenshot is not ${shot% *}"
  else
    fail "the screenshot the metadata names is not installed"
  fi
else
  fail "no metadata $id.metainfo.xml"
fi

for page in velun velun-pack; do
  man="$prefix/share/man/man1/$page.1.gz"
  if [ -f "$man" ]; then
    warnings="$(zcat "$man" | groff -man -ww -z 2>&1)"
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    zgrep -q "Velun $version" "$man" || fail "$page.1 does not carry version $version"
  else
    fail "no manual page $page.1.gz"
  fi
done
for doc in copyright changelog.gz; do
  [ -f "$prefix/share/doc/velun/$doc" ] || fail "no share/doc/velun/$doc"
done

[ "$failures" -eq 0 ] && echo "installed tree in order"
exit "$failures"
