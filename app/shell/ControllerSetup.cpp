#include "ControllerSetup.h"

#include "RuduzozovorERUBuilderGL.h"
#include "RuduzozovorERUVisGL.h"

double boardAreaFactor(const VeskConfiguration::SmartBoard& board)
{
    const double physical = board.physical_width * board.physical_height;
    const double resolution =
        static_cast<double>(board.resolution_width) * static_cast<double>(board.resolution_height);
    // A board without a physical size has no meaningful factor: keep areas unscaled.
    if (!(physical > 0.0)) return 1.0;
    return resolution / physical;
}

ControllerSetupResult createConfiguredController(RuduzozovorERUBuilderGL& builder,
                                                 const VeskConfiguration& c,
                                                 const ControllerSettings& s)
{
    const unsigned int w = s.widgetWidth > 0 ? static_cast<unsigned int>(s.widgetWidth) : 1u;
    const unsigned int h = s.widgetHeight > 0 ? static_cast<unsigned int>(s.widgetHeight) : 1u;
    builder.buildVis(c.userdata.number + c.userdata.wiis, c.globalbuffers.width,
                     c.globalbuffers.height, w, h);
    ControllerSetupResult result;
    RuduzozovorERUVisGL* vis = builder.getApplicationVis();
    result.vis = vis;
    if (!vis) return result;

    const auto& cs = c.containersettings;
    vis->setInitialMaxCurrentWidth(cs.initialMaxWidth);
    vis->setContainerBorderWidth(cs.borderWidth);
    vis->setContainerOpacity(cs.opacity);
    vis->setContainerControlPointSteps(cs.insideCPSteps, cs.outsideCPSteps);
    vis->setTossingParameters(c.tossing.friction, c.tossing.cutoff);
    vis->setRNTParameters(c.rnt.factor, c.rnt.circle_time);
    vis->setInsideColor(c.inside_color.r, c.inside_color.g, c.inside_color.b);
    vis->setBorderColor(c.border_color.r, c.border_color.g, c.border_color.b);
    vis->setHighlightColor(c.highlight_color.r, c.highlight_color.g, c.highlight_color.b);
    vis->enableHardwareOptimization(true);
    vis->enableMipMapping(s.mipMapping);
    vis->enableLinearFiltering(s.linearFiltering);
    vis->enableTextureCompression(s.textureCompression);
    vis->enableARBTextureCompression(s.arbTextureCompression);
    vis->initializeRenderer();
    vis->enableVSync(c.graphics.vsync);
    vis->setAnimating(s.animating);

    const auto& board = c.smartboard;
    result.scaleX = board.resolution_width ? static_cast<double>(w) / board.resolution_width : 1.0;
    result.scaleY =
        board.resolution_height ? static_cast<double>(h) / board.resolution_height : 1.0;
    vis->setScaleFactorExtendWidth(result.scaleX);
    vis->setScaleFactorExtendHeight(result.scaleY);

    const double f = boardAreaFactor(board);
    result.areaFactor = f;
    const auto& a = c.inputarea;
    vis->setPenRange(a.pen_min * f, a.pen_max * f);
    vis->setOneFingerRange(a.single_finger_min * f, a.single_finger_max * f);
    vis->setTwoFingersRange(a.two_finger_min * f, a.two_finger_max * f);
    vis->setFistRange(a.fist_min * f, a.fist_max * f);
    vis->setHandRange(a.hand_min * f, a.hand_max * f);
    return result;
}
