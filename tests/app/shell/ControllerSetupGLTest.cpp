// The application's controller created in a real context with the configuration applied.
#include "GLTestContext.h"
#include "OutputCapture.h"
#include "shell/ControllerSetup.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/RuduzozovorERUVisGL.h"

class ControllerSetupGLTest : public GLTest {};

TEST_F(ControllerSetupGLTest, ConfigurationReachesTheController)
{
    VeskConfiguration c;
    c.userdata.number = 2;
    c.userdata.wiis = 1;
    c.containersettings.borderWidth = 21.0;
    c.smartboard.resolution_width = 2000;
    c.smartboard.resolution_height = 1000;
    c.smartboard.physical_width = 100.0;
    c.smartboard.physical_height = 50.0;
    c.inputarea.pen_max = 0.01;
    c.inputarea.hand_min = 3.0;
    ControllerSettings s;
    s.widgetWidth = 800;
    s.widgetHeight = 500;
    s.animating = true;

    RuduzozovorERUBuilderGL builder;
    OutputCapture quiet;
    const ControllerSetupResult r = createConfiguredController(builder, c, s);
    ASSERT_NE(r.vis, nullptr);
    EXPECT_EQ(r.vis->getNumberOfUsers(), 3u); // users plus wiimotes
    EXPECT_DOUBLE_EQ(r.vis->getScaleFactorExtendWidth(), 0.4); // widget 800 of the board's 2000
    EXPECT_DOUBLE_EQ(r.vis->getPenMax(), 4.0); // per board pixel: 400 of them to the unit area
    EXPECT_DOUBLE_EQ(r.vis->getHandMin(), 1200.0);
    builder.setVis(nullptr);
}
