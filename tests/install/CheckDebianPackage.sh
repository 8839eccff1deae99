#!/usr/bin/env bash
# Builds the Debian package with cpack and checks that it holds the installed tree
# under /usr, depends on what the reader loads at run time, and passes lintian.
# usage: CheckDebianPackage.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build="$1" id="$2" version="$3"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb="$(ls "$out"/velun_"$version"_*.deb 2>/dev/null | head -n 1)"
[ -n "$deb" ] || { echo "FAIL: cpack made no velun_${version}_*.deb" >&2; exit 1; }

depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libc6 fonts-dejavu-core qt6-qpa-plugins; do
  grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
contents="$(dpkg-deb -c "$deb")"
for file in ./usr/bin/velun ./usr/bin/velun-pack ./usr/share/applications/$id.desktop \
            ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/256x256/apps/$id.png \
            ./usr/share/icons/hicolor/scalable/apps/$id.svg ./usr/share/man/man1/velun.1.gz \
            ./usr/share/doc/velun/copyright ./usr/share/doc/velun/changelog.gz; do
  grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
done
grep -q "\bqt6-wayland\b" <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "Recommends lacks qt6-wayland"

# Debian's own checks: no error and no warning (notes and pedantic hints may stay).
if command -v lintian >/dev/null; then
  tags="$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -E '^[EW]: ' || true)"
  [ -z "$tags" ] || fail "lintian: $tags"
else
  fail "lintian is not installed (scripts/install-deps.sh --test)"
fi

[ "$failures" -eq 0 ] && echo "package $(basename "$deb") in order"
exit "$failures"
