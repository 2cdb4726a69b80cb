#!/usr/bin/env bash
# Builds the fuzzers with clang in build-fuzz/ (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time: the configuration reader with its
# validation (and, with an X display in DISPLAY, the scene built from small configurations in an
# off-screen OpenGL context), the TUIO decoder, the Wii bridge's messages, the texture image
# loading path and the painting file reader. Exits non-zero when any finds a crash or a broken
# invariant; the input that caused it is left in build-fuzz/ as crash-* or similar.
#   scripts/fuzz.sh            60 seconds each
#   scripts/fuzz.sh SECONDS    SECONDS each
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNPR_BUILD_FUZZERS=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target ConfigurationFuzzer TuioFuzzer WiiFuzzer \
  TextureImageFuzzer PaintingFileFuzzer PaintingSeeds

# The GL driver's process-lifetime allocations are not the program's leaks.
export LSAN_OPTIONS="suppressions=$(pwd)/tests/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# New inputs go to scratch corpora; the committed seeds stay as they are.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
# Qt's image decoders warn about every broken input; the rest of a run's output is shown.
noise='^(libpng (error|warning)|qt\.gui\.imageio|Corrupt JPEG|Premature end of JPEG|Invalid SOS|Unsupported marker|Bogus|Warning: unknown JFIF)'
run() { # name, seed folder, then the fuzzer and its options
  local name=$1 seeds=$2 rc=0; shift 2
  mkdir -p "$scratch/$name"
  echo "== fuzzing $name for ${seconds} s"
  # New inputs are written to the first folder: the scratch one.
  "$@" -max_total_time="$seconds" -timeout=10 -artifact_prefix=build-fuzz/ -print_final_stats=1 \
    "$scratch/$name" "$seeds" >"$scratch/$name.log" 2>&1 || rc=$?
  grep -avE "$noise" "$scratch/$name.log" | tail -n 80
  [ $rc -eq 0 ] || status=1
}

run "the configuration reader" tests/fuzz/corpus/config build-fuzz/tests/fuzz/ConfigurationFuzzer \
  -max_len=4096 -dict=tests/fuzz/config.dict
run "the TUIO decoder" tests/fuzz/corpus/tuio build-fuzz/tests/fuzz/TuioFuzzer -max_len=2048
run "the texture image loader" tests/fuzz/corpus/images build-fuzz/tests/fuzz/TextureImageFuzzer \
  -max_len=65536 -rss_limit_mb=2048
run "the Wii message decoding" tests/fuzz/corpus/wii build-fuzz/tests/fuzz/WiiFuzzer -max_len=1024
# Painting seeds come from the program's own writer: a small painting and damaged copies.
mkdir -p "$scratch/painting-seeds"
build-fuzz/tests/fuzz/PaintingSeeds "$scratch/painting-seeds"
run "the painting file reader" "$scratch/painting-seeds" build-fuzz/tests/fuzz/PaintingFileFuzzer \
  -max_len=16384
exit $status
