#pragma once
// Creating the application's controller with the configuration applied, as the widget does
// before every scene build.

#include "config/VeskConfiguration.h"

class RuduzozovorERUBuilderGL;
class RuduzozovorERUVisGL;

// Board units squared per physical unit squared of the configured board.
double boardAreaFactor(const VeskConfiguration::SmartBoard& board);

struct ControllerSettings {
    int widgetWidth = 0;   // framebuffer pixels
    int widgetHeight = 0;
    bool mipMapping = false;
    bool linearFiltering = false;
    bool textureCompression = false;
    bool arbTextureCompression = false;
    bool animating = false;
};

struct ControllerSetupResult {
    RuduzozovorERUVisGL* vis = nullptr; // owned by the builder
    double scaleX = 1.0;                // widget pixels per board unit
    double scaleY = 1.0;
    double areaFactor = 1.0;
};

// Builds a new controller into the builder and applies the configuration: container look,
// tossing and rotate-and-translate parameters, texture switches, renderer, vsync, animation,
// touch scale factors and the posture ranges scaled by the area factor. Needs the GL context
// current.
ControllerSetupResult createConfiguredController(RuduzozovorERUBuilderGL& builder,
                                                 const VeskConfiguration& configuration,
                                                 const ControllerSettings& settings);
