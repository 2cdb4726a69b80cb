#pragma once
// LabelLeafGL: a line of text on a coloured background that people move around like a picture.
// The label sizes itself so that the text (textHeight pixels high) and its padding fill the
// picture area (96 %); it draws through eight display lists of its own, built once at
// construction. A font that the controller has not loaded leaves the label 100 × 100, without
// lists, drawing nothing (one message says so).
//
// Coordinates: table pixels; the lists are compiled in the unscaled frame (as BasicImageGL) and
// stretched by the x and y scale, so a label made bigger by a container grows its text too.
// Ownership: the font belongs to the controller's font table; the text is copied.

#include "BasicImageGL.h"

#include <string>

class FTTextureFont;

class LabelLeafGL : public BasicImageGL {
public:
    // fontName: a font key of the controller ("arial32"); colours 0 … 1; padding in pixels.
    LabelLeafGL(TabletopVisGL* vis, double textHeight, const char* fontName, const char* text,
                bool rnt, bool tossing, double x, double y, double z, float textRed,
                float textGreen, float textBlue, float backgroundRed, float backgroundGreen,
                float backgroundBlue, float backgroundAlpha, double padding);
    ~LabelLeafGL() override;
    LabelLeafGL(const LabelLeafGL&) = delete;
    LabelLeafGL& operator=(const LabelLeafGL&) = delete;

    // Codes 3 and 4 only: labels are not written on.
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

    const std::string& getText() const { return text; }
    bool hasFont() const { return font != nullptr; }
    double getTextScale() const { return scale; }
    double getPadding() const { return padding; }
    // 0 text, 1 decoration, 2 RNT circle, 3 hints, 4–6 their highlighted forms, 7 background.
    unsigned int getDisplayList(unsigned int index) const
    {
        return index < 8 ? labelLists[index] : 0;
    }

protected:
    void initialize() override;
    void initializePassiveBuffers() override;
    void specificRender() override;
    void specificRenderForPicking() override;
    void renderInActiveBuffers() override;

    FTTextureFont* font = nullptr;
    std::string text;
    float textColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float backgroundColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    double padding = 0.0;
    double scale = 1.0;
    double textWidth = 0.0;
    double descender = 0.0;
    // Bottom-left corner of the text's bounding box, in font units.
    double textLowerX = 0.0;
    double textLowerY = 0.0;
    unsigned int labelLists[8] = {};
    unsigned int pickingList = 0;
};
