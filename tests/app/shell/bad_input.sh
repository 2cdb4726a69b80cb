#!/usr/bin/env bash
# Starts nprtable once per bad configuration or image and checks that it survives (still running
# after a few seconds) or, where nothing can run, exits with a message and a non-zero status; in
# both cases without a sanitizer report. Needs an X server in DISPLAY.
#   tests/app/shell/bad_input.sh PATH/TO/nprtable [SECONDS]
set -uo pipefail
program=$(realpath "$1")
seconds=${2:-4}
root=$(cd "$(dirname "$0")/../../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The killed programs' recovery slots stay out of the user's data folder.
export XDG_DATA_HOME="$work/data"
cd "$work"
# The bundled textures and fonts, so that only the bad value differs from a working table.
ln -s "$root/data/textures" textures
ln -s "$root/data/fonts" fonts

# A 70-byte BMP whose header claims 70000 x -70000 pixels, and one that claims 70000 x 100.
python3 - <<'PY'
import struct
def bmp(name, w, h, size=70):
    head = b'BM' + struct.pack('<IHHI', size, 0, 0, 54) + \
        struct.pack('<iiiHHIIiiII', 40, w, h, 1, 24, 0, 16, 2835, 2835, 0, 0)
    open(name, 'wb').write(head + b'\0' * (size - len(head)))
bmp('claims-70000.bmp', 70000, -70000)
bmp('wide.bmp', 70000, 100)
with open('million-points.xml', 'w') as f:
    f.write('<c><mainwindow width="400" height="300" fullscreen="0"/><touchinput tuio="0"/>'
            '<startup demo_type="2"/>\n')
    f.write('<points number="100" width="8" height="8"/>\n' * 1000000)
    f.write('</c>\n')
with open('canvases.xml', 'w') as f:
    f.write('<c><mainwindow width="400" height="300" fullscreen="0"/><touchinput tuio="0"/>\n')
    f.write('<canvas_surface border="10" overflow="50"/>\n' * 200)
    f.write('</c>\n')
PY

# name | body of the configuration (inside <c>) | expected: run or fail
cases=(
  'huge-window|<mainwindow width="100000" height="300" fullscreen="0"/>|run'
  'negative-window|<mainwindow width="-400" height="nan" fullscreen="0"/>|run'
  'huge-globalbuffers|<globalbuffers width="100000" height="100000"/>|run'
  'max-globalbuffers|<globalbuffers width="4294967295" height="4294967295"/>|run'
  'canvas-overflow|<canvas_surface border="10" overflow="1e12"/>|run'
  'textures-minus-one|<textures number="-1" source="textures/strokes/stroke-0-%d.png"/>|run'
  'textures-one-file|<textures number="-1" source="textures/brush_icon.png"/>|run'
  'strokes-minus-one|<canvas_surface/><strokes number="-1" width="48" height="48"/>|run'
  'strokes-1e8|<canvas_surface/><strokes number="100000000" width="1e30" height="48"/>|run'
  'many-users|<userdata number="100000000"/><canvas_surface/>|run'
  'no-users|<userdata number="0"/><canvas_surface/>|run'
  'toolbrushes|<canvas_surface number_of_toolbrushes="100000"/>|run'
  'bad-ports|<touchinput tuio="1" tuio_port="70000"/><osc receive_port="0"/>|run'
  'unknown-demo|<startup demo_type="9"/><canvas_surface/>|run'
  'bad-bmp-texture|<textures number="1" source="claims-70000.bmp"/><canvas_surface texture="claims-70000.bmp"/>|run'
  'wide-bmp-texture|<textures number="1" source="wide.bmp"/>|run'
  'oversized-canvas|<mainwindow width="7000" height="7000" fullscreen="0"/><canvas_surface overflow="1000"/>|fail'
)

failures=0
check() { # name file expected
  local name=$1 file=$2 expected=$3 rc limit=$seconds
  # A program that is to give up gets the time to reach the point where it does.
  [ "$expected" = fail ] && limit=$((seconds * 5))
  timeout -s TERM "$limit" "$program" "$file" >"$name.log" 2>&1
  rc=$?
  if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: UndefinedBehaviorSanitizer' "$name.log"; then
    echo "FAIL $name: sanitizer report"; sed -n '1,40p' "$name.log"; failures=$((failures + 1)); return
  fi
  if [ "$expected" = run ] && [ $rc -ne 124 ]; then
    echo "FAIL $name: exited with $rc instead of running"; tail -20 "$name.log"; failures=$((failures + 1)); return
  fi
  if [ "$expected" = fail ] && { [ $rc -eq 0 ] || [ $rc -ge 124 ] || ! grep -q '^Configuration: ' "$name.log"; }; then
    echo "FAIL $name: status $rc, expected a message and a failure status"; tail -20 "$name.log"
    failures=$((failures + 1)); return
  fi
  echo "ok   $name"
}

for c in "${cases[@]}"; do
  IFS='|' read -r name body expected <<<"$c"
  printf '<c><mainwindow width="400" height="300" fullscreen="0"/><touchinput tuio="0"/>%s</c>\n' \
    "$body" >"$name.xml"
  check "$name" "$name.xml" "$expected"
done
check million-points million-points.xml run
check canvases canvases.xml run

total=$(( ${#cases[@]} + 2 ))
echo "bad_input: $((total - failures)) passed, $failures failed"
[ $failures -eq 0 ]
