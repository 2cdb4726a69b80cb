#!/usr/bin/env bash
# Writes the Wii seeds into corpus/wii/: messages as a bridge sends them, encoded by liblo's
# oscsend (liblo-tools) into files, one datagram each.
set -euo pipefail
cd "$(dirname "$0")/corpus/wii"
send() { oscsend "file://$PWD/$1" "${@:2}"; }
B11F=FFFFFFFFFFF
send wiidata-rest /glovepie/wiidata iffffffffff${B11F}FFFffffffffffF 0 320 240 0.1 0.2 0.3 0 0 0 10 20 0 0 0 0 0 0 0 0 0 0
send wiidata-b-mode /glovepie/wiidata iffffffffffFFFFFTFFFFFFFFffffffffffT 0 100 50 0 0 1 0 0 0 5 6 0 0 0 0 0 0 0 0 0 0
send wiidata-nunchuk-z /glovepie/wiidata iffffffffffFFFFFFFFFFFTFTffffffffffT 1 700 -5 0 0 0 0 0 0 0 0 -0.9 0.5 0 0 0 0 0 0 0 0
send wiidata-extra /glovepie/wiidata iffffffffffFFFFTFFFFFFFTTFffffffffffFii 1 10 10 0 0 0 0 0 0 0 0 0.5 -0.5 0 0 0 0 0 0 0 0 7 8
send wiidata-short /glovepie/wiidata if 0 12.5
send createobjects /glovepie/wiiaction/createobjects ii 0 7
send eraseobjects /glovepie/wiiaction/eraseobjects if 0 12.5
send eraseobjects-default /glovepie/wiiaction/eraseobjects i 1
