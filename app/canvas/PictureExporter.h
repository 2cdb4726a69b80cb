#pragma once
// PictureExporter: renders the painting (the canvas surface and its primitives, without tool
// brushes, menus, palettes, mode labels or touch indicators) off screen at an integer scale and
// returns or saves it as an image. Large images render in tiles (ExportTiling.h) through one
// framebuffer object of at most the GL's largest render target.
//
// Coordinates: the image covers the visible table, table pixels (0, 0) to (screen width, screen
// height) of the controller; row 0 of the returned image is the table's top.
// Context: the controller's GL context must be current. The caller's framebuffer binding,
// viewport, matrices and clear colour are restored; the scene is not animated.

#include <QImage>
#include <QString>

class CanvasCompositeGL;
class TabletopVisGL;

class PictureExporter {
public:
    // tileLimit 0: the GL's limits (and kMaxExportTile); tests choose smaller tiles.
    PictureExporter(TabletopVisGL* vis, CanvasCompositeGL* canvas, int tileLimit = 0);

    // The picture at scale, RGB; a null image with error() set on failure.
    QImage render(int scale);
    // render, then a PNG at path (written to a temporary file and renamed into place).
    bool exportPng(const QString& path, int scale);
    // Why the last render or export failed; empty after a success.
    const QString& error() const { return lastError; }
    // Tiles the last render drew.
    int tilesRendered() const { return lastTiles; }

    // Largest off-screen target side of the current context.
    static int glTileLimit();

private:
    TabletopVisGL* vis;
    CanvasCompositeGL* canvas;
    int tileLimit;
    QString lastError;
    int lastTiles = 0;
};
