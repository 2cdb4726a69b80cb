#include "DirectionLensLeafGL.h"

#include "vis/TabletopVisGL.h"

DirectionLensLeafGL::DirectionLensLeafGL(TabletopVisGL* vis, double width, double height,
                                         bool toss, double x, double y, double z, double spare,
                                         const char* dropoffName, double strength,
                                         double magnification_, unsigned int directionMode_,
                                         unsigned int visible_)
    : LensGL(vis, width, height, false, toss, x, y, z, spare, dropoffName, strength,
             magnification_, visible_),
      directionMode(directionMode_)
{
    DirectionLensLeafGL::initializePassiveBuffers();
    DirectionLensLeafGL::createActiveBuffers();
    DirectionLensLeafGL::renderInActiveBuffers();
}

void DirectionLensLeafGL::initializePassiveBuffers()
{
    LensGL::initializePassiveBuffers();
    setPassiveBuffer(DIRECTION_BUFFER, nullptr);
}

void DirectionLensLeafGL::createActiveBuffers()
{
    auto* output = new BufferTemplate<float>(2, LENS_OUTPUT_BUFFER);
    output->setSizeAndAllocateMemory(getBufferWidth(), getBufferHeight());
    output->fillEntireBuffer(0.0f);
    setActiveBuffer(LENS_OUTPUT_BUFFER, output);
}

void DirectionLensLeafGL::renderInActiveBuffers()
{
    if (BufferTemplate<float>* output = getActiveBufferAs<float>(LENS_OUTPUT_BUFFER))
        lensfield::fillDirectionVectors(*output, getRealWidth() / 2.0, getRealHeight() / 2.0,
                                        magnificationStrength, magnification, magnificationOffset,
                                        lensfield::dropoffOf(dropoffFunction).epsType,
                                        directionMode);
}

void DirectionLensLeafGL::contribute(BufferTemplate<float>& field,
                                     const lensfield::CellRect& clip)
{
    const BufferTemplate<float>* output = getActiveBufferAs<float>(LENS_OUTPUT_BUFFER);
    if (!output || field.getChannelNumber() < 2) return;
    const float* v = output->getBufferArray();
    float* cells = lensfield::cellsIn(field, clip);
    const unsigned int ow = output->getWidth();
    const unsigned int channels = field.getChannelNumber();
    for (int y = clip.y0; y < clip.y1; ++y) {
        const float* in = v + static_cast<std::size_t>(y - fieldPlacement.originY) * ow * 2;
        float* out = cells + static_cast<std::size_t>(y) * field.getWidth() * channels;
        for (int x = clip.x0; x < clip.x1; ++x) {
            const float* a = in + static_cast<std::size_t>(x - fieldPlacement.originX) * 2;
            if (a[0] == 0.0f && a[1] == 0.0f) continue;
            out[x * channels] += a[0];
            out[x * channels + 1] += a[1];
        }
    }
}
