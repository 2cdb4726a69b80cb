#include "ToolIndicator.h"

#include "canvas/TouchDispatch.h"

#include <QStringList>

QString modeName(int mode)
{
    switch (mode) {
    case 0: return "Create";
    case 1: return "Erase";
    case 2: return "Create or erase by posture";
    case 3: return "Orientation";
    case 4: return "Move";
    case 5: return "Size";
    case 6: return "Colour";
    case 7: return "No tool";
    case 8: return "Menu choice pending";
    default: return QString("Unknown (%1)").arg(mode);
    }
}

QString postureName(int posture)
{
    switch (posture) {
    case 0: return "pen";
    case 1: return "one finger";
    case 2: return "two fingers";
    case 3: return "fist";
    case 4: return "hand";
    case 5: return "other";
    default: return "none";
    }
}

QString defaultComboEffect(int posture)
{
    canvas::TouchInput in;
    in.combo = 7;
    in.posture = posture;
    in.previousChosenPosture = 6;
    const canvas::TouchDecision d = canvas::decideTouch(in);
    QString effect;
    switch (d.handler) {
    case canvas::Handler::Create: effect = "create"; break;
    case canvas::Handler::Erase: effect = "erase"; break;
    case canvas::Handler::Orientation: effect = "orient along the drag"; break;
    case canvas::Handler::Move: effect = "move"; break;
    case canvas::Handler::Size: effect = "resize"; break;
    case canvas::Handler::Color: effect = "colour"; break;
    case canvas::Handler::None: return "nothing";
    }
    QStringList presets;
    if (d.strength != in.strength) presets << QString("strength %1").arg(d.strength);
    if (d.diameter >= 0.0f) presets << QString("diameter %1").arg(d.diameter);
    return presets.isEmpty() ? effect : QString("%1 (%2)").arg(effect, presets.join(", "));
}

QString toolIndicatorText(int combo, int mode, int fakePosture, int lastPosture)
{
    const QString posture = fakePosture != 6
                                ? postureName(fakePosture) + " (fixed)"
                                : lastPosture != 6 ? postureName(lastPosture) + " (by contact)"
                                                   : QString("by contact");
    return QString("Mode: %1 | Posture: %2 | Input %3").arg(modeName(mode), posture).arg(combo);
}
