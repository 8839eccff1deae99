#!/usr/bin/env bash
# Builds every fuzz target in fuzz/ with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in its own folder, seeds each from the collection and
# runs each for FUZZ_SECONDS, several at once.
#   FUZZ_SECONDS   how long each target runs, default 300
#   FUZZ_DIR       build folder, default build-fuzz; the growing corpora, the logs
#                  and any crash inputs are kept there
#   FUZZ_TARGETS   the targets to build and run, default all of them
#   FUZZ_PARALLEL  targets running at the same time, default the number of cores
#   FUZZ_BUILD_ONLY=1  build and seed, run nothing
# Extra arguments go to every fuzzer (for example -runs=0 to replay the corpora).
# Exits non-zero when a target found a fault; its input is FUZZ_DIR/<target>-crash-*.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${FUZZ_DIR:-$ROOT/build-fuzz}
RUN_SECONDS=${FUZZ_SECONDS:-300}
PARALLEL=${FUZZ_PARALLEL:-$(nproc)}
CXX=${FUZZ_CXX:-clang++}
FLAGS=(-std=c++20 -g -O1 -fno-sanitize-recover=undefined -I"$ROOT" -I"$OUT")
read -r -a FRIBIDI <<<"$(pkg-config --cflags --libs fribidi)"

# target: its harness, the seed folder made from the collection, and what it links
# beyond the program's core (pack: the collection compiler).
declare -A SEEDS=(
  [content_fuzz]=content [article_fuzz]=article [index_fuzz]=index [export_fuzz]=export
  [registry_fuzz]=registry [bookmarks_fuzz]=bookmarks [pack_fuzz]=pack [search_fuzz]=search
  [links_fuzz]=article [notes_fuzz]=notes
)
declare -A HARNESS=(
  [content_fuzz]=ContentFuzz [article_fuzz]=ArticleViewFuzz [index_fuzz]=IndexViewFuzz
  [export_fuzz]=ExportFuzz [registry_fuzz]=RegistryFileFuzz [bookmarks_fuzz]=BookmarksFuzz
  [pack_fuzz]=PackSourceFuzz [search_fuzz]=SearchFuzz [links_fuzz]=LinksFuzz [notes_fuzz]=NotesFileFuzz
)
# Longer inputs than this only slow the search down: every one is laid out a dozen times.
declare -A MAX_LEN=([article_fuzz]=4096 [export_fuzz]=8192 [search_fuzz]=8192)
read -r -a TARGETS <<<"${FUZZ_TARGETS:-content_fuzz article_fuzz index_fuzz export_fuzz registry_fuzz bookmarks_fuzz pack_fuzz search_fuzz links_fuzz notes_fuzz}"

# The program's code without the Qt layer (the harnesses stand in for the window
# calls), and the collection compiler's code, as archives the linker picks from.
CORE_SOURCES=$(cd "$ROOT" && ls content/*.cpp views/*.cpp shell/*.cpp reader/*.cpp cli/*.cpp platform/*.cpp platform/fake/*.cpp |
  grep -v -e '^cli/Main.cpp$' -e '^cli/Headless.cpp$')
PACK_SOURCES=$(cd "$ROOT" && ls tools/*.cpp | grep -v '^tools/PackMain.cpp$')

compile_archive() {  # name, sources...
  local name=$1 dir="$OUT/obj/$1"
  shift
  mkdir -p "$dir"
  printf '%s\n' "$@" | xargs -P "$(nproc)" -I{} sh -c \
    'o="$0/$(echo "$1" | tr / _).o"; [ "$o" -nt "$2/$1" ] || exec '"$CXX"' "$@" -c "$2/$1" -o "$o"' \
    "$dir" {} "$ROOT" "${FLAGS[@]}" -fsanitize=fuzzer-no-link,address,undefined "${FRIBIDI[@]}" 2>/dev/null || true
  # A second pass shows the errors of any file that did not build.
  for source in "$@"; do
    local object="$dir/$(echo "$source" | tr / _).o"
    [ "$object" -nt "$ROOT/$source" ] || "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer-no-link,address,undefined \
      "${FRIBIDI[@]}" -c "$ROOT/$source" -o "$object"
  done
  rm -f "$OUT/lib$name.a"
  ar rcs "$OUT/lib$name.a" "$dir"/*.o
}

echo "fuzz: building in $OUT"
mkdir -p "$OUT/generated"
# The facts CMakeLists.txt sets, in the header the CMake build generates from them.
fact() { sed -n "s/^set($1 \(.*\))$/\1/p" "$ROOT/CMakeLists.txt"; }
sed -e "s/@VELUN_VERSION@/$(fact VELUN_VERSION)/" -e "s/@VELUN_APP_ID@/$(fact VELUN_APP_ID)/" \
  "$ROOT/resources/ProgramFacts.h.in" >"$OUT/generated/ProgramFacts.h"
# Header changes are not tracked: start from clean objects each time.
rm -rf "$OUT/obj"
# shellcheck disable=SC2086
compile_archive core $CORE_SOURCES
# shellcheck disable=SC2086
compile_archive pack $PACK_SOURCES
SUPPORT=("$ROOT/fuzz/FuzzPlatform.cpp")
for target in "${TARGETS[@]}"; do
  echo "fuzz: $target"
  "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer,address,undefined "$ROOT/fuzz/${HARNESS[$target]}.cpp" "${SUPPORT[@]}" \
    "$OUT/libpack.a" "$OUT/libcore.a" "${FRIBIDI[@]}" -o "$OUT/$target"
done

echo "fuzz: seeding from the collection"
"$CXX" "${FLAGS[@]}" -fsanitize=address,undefined "$ROOT/fuzz/MakeSeeds.cpp" "${SUPPORT[@]}" \
  "$OUT/libpack.a" "$OUT/libcore.a" "${FRIBIDI[@]}" -o "$OUT/make-seeds"
rm -rf "$OUT/seeds"
"$OUT/make-seeds" "$ROOT/collection" "$OUT/seeds"
mkdir -p "$OUT/seeds/pack"
cp "$ROOT"/collection/index.txt "$ROOT"/collection/articles/*.txt "$OUT/seeds/pack/"
cp "$ROOT"/fuzz/seeds/content/* "$OUT/seeds/content/"
cp -r "$ROOT/fuzz/seeds/registry" "$ROOT/fuzz/seeds/bookmarks" "$ROOT/fuzz/seeds/notes" "$OUT/seeds/"
[ "${FUZZ_BUILD_ONLY:-0}" = 1 ] && exit 0

run_target() {
  local target=$1
  shift
  mkdir -p "$OUT/corpus/$target"
  local status=0
  local limit=()
  [ -n "${MAX_LEN[$target]:-}" ] && limit=(-max_len="${MAX_LEN[$target]}")
  nice "$OUT/$target" -max_total_time="$RUN_SECONDS" -print_final_stats=1 -artifact_prefix="$OUT/$target-" "${limit[@]}" \
    "$@" "$OUT/corpus/$target" "$OUT/seeds/${SEEDS[$target]}" >"$OUT/$target.log" 2>&1 || status=$?
  echo "$status" >"$OUT/$target.status"
}

echo "fuzz: running ${#TARGETS[@]} targets for $RUN_SECONDS s each, $PARALLEL at a time"
rm -f "$OUT"/*.status
running=0
for target in "${TARGETS[@]}"; do
  run_target "$target" "$@" &
  running=$((running + 1))
  if [ "$running" -ge "$PARALLEL" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait
failed=0
for target in "${TARGETS[@]}"; do
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$OUT/$target.log" | grep -o '[0-9]*$' || echo "?")
  if [ "$(cat "$OUT/$target.status")" != 0 ]; then
    echo "fuzz: $target FAILED after $runs runs (see $OUT/$target.log)"
    failed=1
  else
    echo "fuzz: $target ok, $runs runs"
  fi
done
exit $failed
