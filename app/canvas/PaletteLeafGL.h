#pragma once
// PaletteLeafGL: the movable panel on the painting canvas from which the user picks a colour,
// a tool and its variant, the layer and the brush diameter, and on which colours are mixed by
// hand. It never touches primitives: every frame it publishes its layer, dimmed layer and paint
// colour into the canvas's tool-state grid, and a chosen tool is handed to the canvas for its
// next touches. Its behaviour lives in PaletteState; this class adds the table side: buffers,
// drawing, moving out of the brush's way.
//
// Coordinates: hitLocalBuffer/releaseLocalBuffer receive table pixels; the region map (tag 15,
// unsigned int) and the mixing area (tag 10, 3 x unsigned char) are palette buffer cells (local
// pixel + 1.5). Drawing happens in the palette's centred frame. A touch on the panel (region 3)
// or the grip (22) answers 3, so the controller moves and turns the palette; buttons answer
// their region id, except the size and create/erase buttons (12, 13), which answer
// kButtonHandled so that the controller leaves the palette where it is.
// Ownership: the controller owns the palette (the canvas lists it); the palette owns its buffers,
// the mixing-area texture and its display list, not the button textures (the controller's).

#include "canvas/ColorGradientGL.h"
#include "canvas/ColorIndicatorGL.h"
#include "canvas/ColorSwatchGL.h"
#include "canvas/PaletteLayout.h"
#include "canvas/PaletteState.h"
#include "components/BoundedContainerGL.h"

#include <map>
#include <string>

class CanvasCompositeGL;

class PaletteLeafGL : public BoundedContainerGL,
                      public ColorSwatchGL,
                      public ColorGradientGL,
                      public ColorIndicatorGL {
public:
    static constexpr unsigned int kButtonHandled = 1;
    static constexpr unsigned int kNoTexture = 0xFFFFFFFFu;

    // (x, y): centre in table pixels; width, height in pixels. opacity: of the panel.
    PaletteLeafGL(TabletopVisGL* vis, double width, double height, double x, double y, double z,
                  float opacity);
    ~PaletteLeafGL() override;

    // --- inherited operations ---
    // The palette keeps its size: touches never resize it.
    void interactiveResizeCenter(double x, double y) override;
    bool checkPositionForRNT(double x, double y) override;
    VisComponent* getComposite() override { return nullptr; }
    bool allowNesting() override { return true; }
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    // Returns the region that was held.
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;
    // Layer, dimmed layer and paint colour into the canvas's tool-state grid.
    void renderIntoBuffers() override;
    double getXRelativeScalePos() override { return 0.6; }
    double getYRelativeScalePos() override { return 1.21; }
    double getOneOverX() override { return 1.0 / 0.6; }
    double getOneOverY() override { return 1.0 / 1.21; }

    // --- own operations ---
    virtual void drawPanel();
    virtual void drawButtons();
    virtual void drawMixingArea();
    virtual void drawRecentColours();
    // Rendering on (and to the front) or off; a hidden palette is not picked either.
    virtual void show();
    virtual void hide();
    bool isShown() const { return isActiveForRendering(); }

    // Button textures by key ("texture_palette", "texture_move", …; GL names, not owned).
    void setTexture(const std::string& key, unsigned int texture);
    unsigned int getTexture(const std::string& key) const;

    PaletteState& state() { return paletteState; }
    const PaletteState& state() const { return paletteState; }
    // Paint colour from outside (the colour dialog); the indicator follows when it is listed.
    void setPaintColor(const Color& c);
    // The palette's cell under table point (x, y).
    void tableToCell(double x, double y, int* cx, int* cy) const;
    // The table point of palette fraction (u, v) (0, 0 bottom left, 1, 1 top right).
    void fractionToTable(double u, double v, double* x, double* y) const;
    // The canvas this palette lies on, or null.
    CanvasCompositeGL* canvas() const;
    // The screen the palette keeps within while it moves out of the brush's way.
    void keepClearOfBrush();

protected:
    void animateMyself(double f) override;
    void initialize() override;
    void specificRender() override;
    void specificRenderForPicking() override;
    void createActiveBuffers() override;
    // The canvas's speed, size, movement, orientation, temporary colour, erase and tool-state
    // buffers.
    void initializePassiveBuffers() override;
    void renderInActiveBuffers() override;

private:
    class Host : public PaletteHost {
    public:
        explicit Host(PaletteLeafGL& p) : owner(p) {}
        float toolCell(unsigned int column, unsigned int row) const override;
        void setToolCell(unsigned int column, unsigned int row, float value) override;
        void chooseTool(float kind, float strength) override;
        void setBrushDiameter(float diameter) override;
        void setTouchRecording(bool on) override;
        void emptyCanvas() override;
        void showBrush() override;
        void hideBrush() override;

    private:
        PaletteLeafGL& owner;
    };

    void drawTexturedRect(unsigned int texture, double x0, double y0, double x1, double y1,
                          float alpha) const;
    // Fraction rectangle to the centred drawing frame.
    void toFrame(const palette::Rect& r, double* x0, double* y0, double* x1, double* y1) const;
    void uploadMixingTexture();

    Host host{*this};
    PaletteState paletteState{&host};
    std::map<std::string, unsigned int> textures;
    float panelOpacity = 1.0f;
    unsigned int mixingTexture = 0;
    unsigned int mixingVersion = ~0u;
    const void* mixingSource = nullptr;
};
