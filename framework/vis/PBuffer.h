#pragma once
// PBuffer: the caller-owned record behind the controller's off-screen render-target operations
// (init_pbuffer, activatePBuffer, deactivatePBuffer, shutdown_pbuffer). The target is a
// framebuffer object with a colour texture attachment; the record also keeps the target's own
// drawing state between activations, as a separate rendering context would.
//
// Sizes: pixels. Ownership: the caller owns the record; the GL objects it names are created by
// init_pbuffer and released by shutdown_pbuffer (with the context current).

#include <cstdint>

struct PBuffer {
    // Framebuffer object name; 0 while no target exists.
    uint32_t handle = 0;
    // Colour attachment: RGBA texture of width x height that holds what was drawn.
    uint32_t texture = 0;
    // Depth attachment (renderbuffer), so drawing in the target can use the depth test.
    uint32_t depth = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    // Set between activatePBuffer and deactivatePBuffer.
    bool active = false;

    // Saved by activatePBuffer: what deactivatePBuffer restores and the texture it updates.
    int32_t previousDrawFramebuffer = 0;
    int32_t previousReadFramebuffer = 0;
    int32_t targetTexture = 0;
    double previousProjection[16] = {};
    double previousModelview[16] = {};
    int32_t previousMatrixMode = 0;

    // The target's own state, carried from one activation to the next.
    bool stateSaved = false;
    double projection[16] = {};
    double modelview[16] = {};
    float clearColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int32_t blendSrc = 0;
    int32_t blendDst = 0;
    int32_t depthFunc = 0;
    // Blend, depth test, line smooth, point smooth, cull face, lighting, 2D texturing.
    bool enables[7] = {};
};
