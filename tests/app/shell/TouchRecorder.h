#pragma once
// A touch handler that writes every callback as a line: "down x y p0", "size w h p1", ...

#include "shell/TouchEventHandler.h"

#include <string>
#include <vector>

struct TouchRecorder : TouchEventHandler {
    std::vector<std::string> events;
    void add(const char* what, int a, int b, int id)
    {
        events.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b) +
                         " p" + std::to_string((id >> 8) & 1));
    }
    void OnXYDown(int x, int y, int, int id) override { add("down", x, y, id); }
    void OnXYMove(int x, int y, int, int id) override { add("move", x, y, id); }
    void OnXYUp(int x, int y, int, int id) override { add("up", x, y, id); }
    void OnDViTRawWidthHeight(int w, int h, int id) override { add("size", w, h, id); }
    void OnEraser(int) override {}
    void OnPen(int) override {}
    void OnNoTool(int) override {}
    // The events so far; the record starts empty again.
    std::vector<std::string> take()
    {
        auto out = events;
        events.clear();
        return out;
    }
};
