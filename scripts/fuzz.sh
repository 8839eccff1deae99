#!/usr/bin/env bash
# Builds the content fuzzer (libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer)
# with clang in its own folder and runs it.
#   FUZZ_SECONDS  how long to run, default 300
#   FUZZ_DIR      build folder, default build-fuzz; the growing corpus and any crash
#                 inputs are kept there
# Extra arguments go to the fuzzer (for example -jobs=2 or a crash file to replay).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${FUZZ_DIR:-$ROOT/build-fuzz}
RUN_SECONDS=${FUZZ_SECONDS:-300}
CXX=${FUZZ_CXX:-clang++}

# Only what the decoder and the walkers need: no Qt, no generated collection.
SOURCES=(
  fuzz/ContentFuzz.cpp fuzz/StubResources.cpp
  content/Decompress.cpp content/LoadContent.cpp content/ArticleRecords.cpp
  shell/AppState.cpp
  platform/Resources.cpp platform/MessageBox.cpp platform/Utf16.cpp platform/CRuntime.cpp
)

mkdir -p "$OUT/corpus"
echo "fuzz: building $OUT/content_fuzz"
"$CXX" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT" "${SOURCES[@]/#/$ROOT/}" -o "$OUT/content_fuzz"

echo "fuzz: running for $RUN_SECONDS s"
"$OUT/content_fuzz" -max_total_time="$RUN_SECONDS" -max_len=8192 -print_final_stats=1 \
  -artifact_prefix="$OUT/" "$@" "$OUT/corpus" "$ROOT/fuzz/seeds"
