#pragma once
// Directors: turn the configuration's lists into builder calls, one scene per demo type.

#include "config/VeskConfiguration.h"

class TabletopVis;
class RuduzozovorERUBuilderGL;

class VisualizationBuildDirector {
public:
    explicit VisualizationBuildDirector(VeskConfiguration* configuration = nullptr)
        : configuration(configuration)
    {
    }
    VeskConfiguration* getConfiguration() const { return configuration; }
    void setConfiguration(VeskConfiguration* c) { configuration = c; }

protected:
    // Not owned.
    VeskConfiguration* configuration;
};

class RuduzozovorERUBuildDirector : public VisualizationBuildDirector {
public:
    using VisualizationBuildDirector::VisualizationBuildDirector;

    // Each builds into the builder's controller and returns it; null when the builder has none.
    TabletopVis* buildMainDemo(RuduzozovorERUBuilderGL* builder);           // demo 0: strokes
    TabletopVis* buildDecorativeMosaicDemo(RuduzozovorERUBuilderGL* builder); // demo 1: tiles
    TabletopVis* buildPointillismDemo(RuduzozovorERUBuilderGL* builder);    // demo 2: points
    TabletopVis* buildGeoStrokesDemo(RuduzozovorERUBuilderGL* builder);     // demo 3
    // Demo types 0 to 3; any other type builds nothing and returns the builder's controller.
    // Without primitives the scene is the demo's with an empty canvas (a new painting).
    TabletopVis* buildDemo(unsigned int demoType, RuduzozovorERUBuilderGL* builder,
                           bool withPrimitives = true);

private:
    TabletopVis* buildScene(unsigned int demoType, RuduzozovorERUBuilderGL* builder,
                            bool withPrimitives = true);
    void buildFonts(RuduzozovorERUBuilderGL* builder);
    void buildContainers(RuduzozovorERUBuilderGL* builder);
    // Sticky boards, images, sticky notes and labels named by the configuration.
    void buildItems(RuduzozovorERUBuilderGL* builder);
    void buildDocuments(RuduzozovorERUBuilderGL* builder);
    void buildHockey(RuduzozovorERUBuilderGL* builder);
    void buildCreatorsAndDestroyers(RuduzozovorERUBuilderGL* builder);
    // Size and direction lenses, after the surfaces they fall onto.
    void buildLenses(RuduzozovorERUBuilderGL* builder);
};
