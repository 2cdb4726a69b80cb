#pragma once
// Words for the painting tool state, shown in the status bar and the "Keys and gestures" window.
// Modes 0 create ... 8 pending (the canvas's interaction modes); postures 0 pen ... 6 none;
// input combinations 0 to 7.

#include <QString>

QString modeName(int mode);
QString postureName(int posture);
// What a touch of the posture does with input combination 7 (the one at start), e.g.
// "create (strength 2, diameter 20)" or "nothing".
QString defaultComboEffect(int posture);
// The status bar's lasting indicator, e.g. "Mode: Colour | Posture: pen (fixed) | Input 0".
// fakePosture 6 means none is fixed: the posture follows the contact size, lastPosture is the one
// last recognised (6 before any).
QString toolIndicatorText(int combo, int mode, int fakePosture, int lastPosture);
