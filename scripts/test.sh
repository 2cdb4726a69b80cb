#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite headless (under Xvfb): once in a normal build and
# once with AddressSanitizer and UndefinedBehaviorSanitizer; starts the sanitizer build's program on
# bad configurations and images (tests/app/shell/bad_input.sh), then runs each fuzzer for 30 seconds
# (scripts/fuzz.sh). Exits non-zero on any failure.
#   scripts/test.sh            everything
#   scripts/test.sh --quick    the normal build only, no fuzzing
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh --deps

jobs=$(nproc)
configure_and_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
}

configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
[ "${1:-}" = "--quick" ] || configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DNPR_SANITIZE=ON

# One private X server for all GL tests; Xvfb picks a free display number itself. -noreset: the
# server would otherwise reset whenever its last client leaves and refuse a test connecting then.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$displayfile"' EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
display=":$(head -n1 "$displayfile")"
if [ "$display" = ":" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
  echo "Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=$display
export QT_QPA_PLATFORM=xcb
export LIBGL_ALWAYS_SOFTWARE=1

# run_tests DIR [ctest options]: runs the tests of DIR. A test whose output shows that it could
# not reach the X server (seen now and then under load) runs again, at most twice, and each retry
# is printed; every other failure stands as it is.
run_tests() {
  local dir=$1; shift
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" "$@" && return 0
  local tmp="$dir/Testing/Temporary"
  [ -s "$tmp/LastTestsFailed.log" ] || return 1
  cp "$tmp/LastTestsFailed.log" "$tmp/first-failures.log"
  cp "$tmp/LastTest.log" "$tmp/first-run.log"
  local result=0 name log attempt
  while IFS=: read -r _ name; do
    log="$tmp/first-run.log"
    for attempt in 1 2 3; do
      if ! awk -v t="$name" 'index($0, " Testing: ") && substr($0, index($0, " Testing: ") + 10) == t {p = 1}
             p && /could not connect to display/ {x = 1}
             p && /<end of output>/ {p = 0}
             END {exit !x}' "$log"; then
        result=1
        break
      fi
      if [ "$attempt" = 3 ]; then
        echo "== $name could not reach the X server three times"
        result=1
        break
      fi
      echo "== retry $attempt of $name: it could not reach the X server"
      if ctest --test-dir "$dir" --output-on-failure "$@" </dev/null -R "^$(printf '%s' "$name" | sed 's/[][\\.*^$+?(){}|/]/\\&/g')\$"; then
        break
      fi
      log="$tmp/LastTest.log"
    done
  done <"$tmp/first-failures.log"
  return $result
}

status=0
echo "== tests (normal build)"
run_tests build || status=1
if [ "${1:-}" != "--quick" ]; then
  echo "== tests (address and undefined-behaviour sanitizers)"
  # The GL driver and the window system keep process-lifetime allocations: leak checks apply
  # to the context-free tests only.
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    run_tests build-asan -LE gl || status=1
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    run_tests build-asan -L gl --no-tests=error || status=1
fi
cd "$root"
if [ "${1:-}" != "--quick" ]; then
  echo "== bad configurations and images (sanitizer build of nprtable)"
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    tests/app/shell/bad_input.sh build-asan/app/nprtable || status=1
  echo "== fuzzing (configuration reader, TUIO decoder, Wii messages, texture images, painting files)"
  scripts/fuzz.sh 30 || status=1
fi
exit $status
