#include "canvas/CanvasState.h"

namespace canvas {

const char* modeLabel(int mode)
{
    switch (mode) {
    case 0: return "Create Mode";
    case 1: return "Erase Mode";
    case 3: return "Orientation Mode";
    case 4: return "Move Mode";
    case 5: return "Size Mode";
    case 6: return "Color Mode";
    default: return nullptr;
    }
}

int modeLabelList(int mode)
{
    switch (mode) {
    case 0: return 0;
    case 1: return 1;
    case 6: return 2;
    case 5: return 3;
    case 4: return 4;
    case 3: return 5;
    default: return -1;
    }
}

} // namespace canvas

bool ModeLabelFader::step()
{
    if (!fadingOut) {
        if (alpha < 1.0f) alpha += 0.03f;
        if (alpha >= 1.0f) fadingOut = true;
        return true;
    }
    alpha -= 0.2f;
    if (alpha <= 0.0f) {
        restart();
        return false;
    }
    return true;
}
