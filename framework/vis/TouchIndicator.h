#pragma once
// TouchIndicator: the marker drawn under one user's pointer. The controller moves it to the
// pointer and sizes its outline from the contact extent the touch device reports; a graphics
// class (TouchIndicatorGL) draws it.
//
// Coordinates: table pixels, origin at the bottom left, y up; the position is the marker's centre.
// boundWidth/boundHeight: the contact extent in table pixels (already scaled by the controller).
// Ownership: the controller owns its indicators.

class TouchIndicator {
public:
    // id: the user number; (x, y, z): position; the bound: the contact extent.
    TouchIndicator(double x, double y, double z, unsigned long id, double boundWidth,
                   double boundHeight);
    virtual ~TouchIndicator() = default;
    // Draws the marker; the rendering-independent base draws nothing.
    virtual void render() {}

    double getXPos() const { return xPos; }
    double getYPos() const { return yPos; }
    double getZPos() const { return zPos; }
    void setZPos(double z) { zPos = z; }
    // The position truncated to whole pixels.
    unsigned int getPixelXPos() const { return static_cast<unsigned int>(xPos); }
    unsigned int getPixelYPos() const { return static_cast<unsigned int>(yPos); }
    void setPos(double x, double y) { xPos = x; yPos = y; }
    void setPos(unsigned int x, unsigned int y) { xPos = x; yPos = y; }
    void getPos(double* x, double* y) const { *x = xPos; *y = yPos; }
    void getPos(unsigned int* x, unsigned int* y) const { *x = getPixelXPos(); *y = getPixelYPos(); }
    void moveXBy(double dx) { xPos += dx; }
    void moveYBy(double dy) { yPos += dy; }
    void moveXBy(unsigned int dx) { xPos += dx; }
    void moveYBy(unsigned int dy) { yPos += dy; }
    void moveBy(double dx, double dy) { xPos += dx; yPos += dy; }
    void moveBy(unsigned int dx, unsigned int dy) { xPos += dx; yPos += dy; }

    unsigned long getId() const { return id; }
    void setId(unsigned long newId) { id = newId; }
    // Scale of the marker's disc, in table pixels.
    void setSize(double w, double h) { width = w; height = h; }
    double getWidth() const { return width; }
    double getHeight() const { return height; }
    void setColor(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
    {
        color[0] = r; color[1] = g; color[2] = b; color[3] = a;
    }
    const unsigned char* getColor() const { return color; }
    double getBoundWidth() const { return boundWidth; }
    void setBoundWidth(double w) { boundWidth = w; }
    double getBoundHeight() const { return boundHeight; }
    void setBoundHeight(double h) { boundHeight = h; }
    // With the extent on, the contact's outline is drawn around the marker.
    void renderWithExtend(bool on) { withExtend = on; }
    bool isRenderWithExtendEnabled() const { return withExtend; }

protected:
    unsigned long id;
    double xPos;
    double yPos;
    double zPos;
    double width = 3.0;
    double height = 3.0;
    unsigned char color[4] = {0, 0, 0, 255};
    // Degrees per radian, negated: turns a mathematical angle into a screen rotation.
    float angleFactor = -57.29578f;
    double boundWidth;
    double boundHeight;
    bool withExtend = false;
};
