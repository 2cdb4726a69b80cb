#!/usr/bin/env bash
# Builds the configuration and TUIO fuzzers with clang in build-fuzz/ (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for a bounded time. Exits non-zero on a crash or a broken
# invariant; the input that caused it is left in build-fuzz/ as crash-* or similar.
#   scripts/fuzz.sh            60 seconds
#   scripts/fuzz.sh SECONDS
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNPR_BUILD_FUZZERS=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target ConfigurationFuzzer TuioFuzzer WiiFuzzer

# New inputs go to a scratch corpus; the committed seeds stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "== fuzzing the configuration reader for ${seconds} s"
build-fuzz/tests/fuzz/ConfigurationFuzzer -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -dict=tests/fuzz/config.dict -artifact_prefix=build-fuzz/ -print_final_stats=1 \
  "$work" tests/fuzz/corpus/config

echo "== fuzzing the TUIO decoder for ${seconds} s"
tuio=$(mktemp -d)
trap 'rm -rf "$work" "$tuio"' EXIT
build-fuzz/tests/fuzz/TuioFuzzer -max_total_time="$seconds" -max_len=2048 -timeout=10 \
  -artifact_prefix=build-fuzz/ -print_final_stats=1 "$tuio" tests/fuzz/corpus/tuio

echo "== fuzzing the Wii message decoding for ${seconds} s"
wii=$(mktemp -d)
trap 'rm -rf "$work" "$tuio" "$wii"' EXIT
build-fuzz/tests/fuzz/WiiFuzzer -max_total_time="$seconds" -max_len=1024 -timeout=10 \
  -artifact_prefix=build-fuzz/ -print_final_stats=1 "$wii" tests/fuzz/corpus/wii
