// The director turns configuration lists into builder calls in the fixed order of a demo.
#include "OutputCapture.h"
#include "config/QTVeskConfiguration.h"
#include "shell/ControllerSetup.h"
#include "shell/RuduzozovorERUBuildDirector.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "vis/NamePattern.h"
#include "vis/TabletopVis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A controller without graphics that records which textures were asked for.
class RecordingVis : public TabletopVis {
public:
    explicit RecordingVis(std::vector<std::string>* log) : log_(log) {}
    unsigned int loadTexture(const char* file, bool) override
    {
        log_->push_back(std::string("texture ") + file);
        return 1;
    }
    bool loadFont(const char* file, int size) override
    {
        log_->push_back(std::string("font ") + file + " " + std::to_string(size));
        return true;
    }

private:
    std::vector<std::string>* log_;
};

// A builder that writes each call as a line: its name, then the arguments that matter.
class RecordingBuilder : public RuduzozovorERUBuilderGL {
public:
    std::vector<std::string> log;
    RecordingBuilder() { setVis(new RecordingVis(&log)); }
    void buildCanvas(double border, double, unsigned int brushes, double, const char* texture,
                     double side) override
    {
        record("canvas", border, brushes, texture, side);
    }
    void buildStrokeBuildCanvas(double, double) override { record("build canvas"); }
    void buildContextMenu(const VeskConfiguration&, std::size_t i) override { record("context menu", i); }
    void buildCornerMenu(const VeskConfiguration&, std::size_t) override { record("corner menu"); }
    void buildStrokeMenu(const VeskConfiguration&, std::size_t) override { record("stroke menu"); }
    void buildStrokes(double w, double, unsigned int n, bool) override { record("strokes", n, w); }
    void buildTiles(double, double, unsigned int n, bool) override { record("tiles", n); }
    void buildPoints(double, double, unsigned int n) override { record("points", n); }
    void buildGeoStrokes(double, double, unsigned int n, int segments) override
    {
        record("geostrokes", n, segments);
    }
    void buildPalette(const VeskConfiguration&, std::size_t) override { record("palette"); }
    void buildHockeySurface(double border, double overflow, double friction) override
    {
        record("rink", border, overflow, friction);
    }
    void buildHockeyPaddles(unsigned int n, double size) override { record("paddles", n, size); }
    void buildHockeyPucks(unsigned int n, double size, double speed, double top) override
    {
        record("pucks", n, size, speed, top);
    }
    void buildDestroyer(double w, double h, double x, double y, const char* texture) override
    {
        record("destroyer", w, h, x, y, texture);
    }
    void buildStorageBinCreator(double w, double h, double cw, double ch, double x, double y,
                                unsigned int cp, unsigned int level, bool rounded,
                                const char* texture) override
    {
        record("bin creator", w, h, cw, ch, x, y, cp, level, rounded, texture);
    }
    void buildBeltInterfaceCurrentCreator(double w, double, double, double, double x, double y,
                                          unsigned int, unsigned int, bool, const char*) override
    {
        record("belt creator", w, x, y);
    }
    void buildStickyNoteCreator(double w, double h, double cw, double ch, double x, double y,
                                const char* texture) override
    {
        record("note creator", w, h, cw, ch, x, y, texture);
    }
    void buildLensCreator(double w, double, double cw, double, double x, double y,
                          const char* dropoff, const char*, double a, double b, unsigned int n,
                          double upX, double upY, const char* kind) override
    {
        record("lens creator", w, cw, x, y, dropoff, a, b, n, upX, upY, kind);
    }
    void buildSizeLens(unsigned int n, double w, double h, double x, double y, const char* dropoff,
                       double a, double b, unsigned int visible) override
    {
        record("size lens", n, w, h, x, y, dropoff, a, b, visible);
    }
    void buildDirectionLens(unsigned int n, double w, double h, double x, double y,
                            const char* dropoff, double a, double b, unsigned int mode,
                            unsigned int visible) override
    {
        record("direction lens", n, w, h, x, y, dropoff, a, b, mode, visible);
    }
    void buildDocument(double size, double x, double y, const char* file) override
    {
        record("document", file, size, x, y);
    }

private:
    // Numbers without trailing zeros: 0.5, 600.
    template <class... A> void record(const char* what, A... args)
    {
        std::string line = what;
        ((line += " " + str(args)), ...);
        log.push_back(line);
    }
    static std::string str(const char* s) { return s; }
    template <class T> static std::string str(T v)
    {
        std::string t = std::to_string(v);
        if (t.find('.') != std::string::npos) {
            t.erase(t.find_last_not_of('0') + 1);
            if (t.back() == '.') t.pop_back();
        }
        return t;
    }
};

VeskConfiguration read(const char* xml)
{
    return QTVeskConfiguration::fromData(QByteArray(xml));
}

const char* kScene = R"(<config>
  <mainwindow width="1000" height="600"/>
  <textures number="2" source="textures/s%d.png"/>
  <font file="fonts/arial.ttf" size="32"/>
  <document file="documents/sample.pdf" height="300" xpos="100" ypos="200"/>
  <document file="documents/sample.ps"/>
  <canvas_surface border="12" number_of_toolbrushes="2" texture="textures/paper.png"/>
  <contextmenu/>
  <strokes number="40" width="30" height="10"/>
  <tiles number="50"/>
  <points number="60"/>
  <geostrokes number="7" num_segments="3"/>
  <palette/>
  <sizeLens number="2" width="120" dropoff="Linear" ratio="0.5"/>
  <sizeLens number="0"/>
  <directionLens number="1" xpos="300" inorout="0" isvisible="0"/>
</config>)";

using Log = std::vector<std::string>;

} // namespace

TEST(BuildDirector, EachDemoBuildsItsPrimitivesInTheFixedOrder)
{
    const VeskConfiguration config = read(kScene);
    const struct {
        unsigned int demo;
        const char* primitives;
        const char* none;
    } demos[] = {{0, "strokes 40 30", "strokes 0 30"}, {1, "tiles 50", "tiles 0"},
                 {2, "points 60", "points 0"}, {3, "geostrokes 7 3", "geostrokes 0 3"}};
    for (const auto& d : demos) {
        VeskConfiguration copy = config;
        RuduzozovorERUBuildDirector director(&copy);
        RecordingBuilder builder;
        OutputCapture out;
        EXPECT_EQ(director.buildDemo(d.demo, &builder), builder.getVis());
        Log expected = {"texture textures/s1.png", "texture textures/s2.png",
                        "font fonts/arial.ttf 32", "document documents/sample.pdf 300 100 200",
                        "document documents/sample.ps 64 4294967295 4294967295",
                        "canvas 12 2 textures/paper.png 600",
                        "context menu 0", d.primitives, "palette",
                        "size lens 2 120 200 -1 -1 Linear 0.5 2 1",
                        "direction lens 1 200 200 300 -1 Gaussian 0.9 2 0 0"};
        if (d.demo == 1) expected.push_back("font fonts/arial.ttf 32");
        EXPECT_EQ(builder.log, expected) << "demo " << d.demo;

        // A new painting is the same scene with none of the demo's primitives: their kinds are
        // still built, which tells the create brush what to make.
        RecordingBuilder empty;
        director.buildDemo(d.demo, &empty, false);
        *std::find(expected.begin(), expected.end(), d.primitives) = d.none;
        EXPECT_EQ(empty.log, expected) << "new painting, demo " << d.demo;
    }

    // An unknown demo or a missing controller builds nothing.
    VeskConfiguration copy = config;
    RuduzozovorERUBuildDirector director(&copy);
    RecordingBuilder builder;
    EXPECT_EQ(director.buildDemo(4, &builder), builder.getVis());
    EXPECT_TRUE(builder.log.empty());
    builder.setVis(nullptr);
    EXPECT_EQ(director.buildMainDemo(&builder), nullptr);
    EXPECT_TRUE(builder.log.empty());
}

TEST(BuildDirector, HockeyCreatorsAndDestroyersComeAfterTheContainers)
{
    VeskConfiguration config = read(R"(<config>
  <hockey_surface border="8" friction="0.97"/>
  <hockey_paddles number="2" size="120"/>
  <hockey_pucks number="3" size="60" speed="7" max_speed="40"/>
  <destroyer width="96" height="90" xpos="90" ypos="100"/>
  <storage_bin_creator creator_width="80" xpos="10" ypos="20" rounded="0" texture="bin.png"/>
  <belt_current_creator xpos="30" ypos="40"/>
  <sticky_note_creator xpos="50" ypos="60" texture="note.png"/>
  <lens_creator type="orientation-in" x_up="0.5" xpos="70" ypos="80"/>
  <lens_creator/>
</config>)");
    RuduzozovorERUBuildDirector director(&config);
    RecordingBuilder builder;
    director.buildDemo(0, &builder);
    const std::size_t lens = builder.log.size() - 1;
    // A missing position is drawn inside the 100 x 100 screen of the recording controller.
    const std::string last = builder.log[lens];
    builder.log.pop_back();
    EXPECT_EQ(builder.log,
              (Log{"rink 8 50 0.97", "paddles 2 120", "pucks 3 60 7 40",
                   "destroyer 96 90 90 100 textures/waste_basket_small.png",
                   "bin creator 80 64 600 600 10 20 8 4 0 bin.png", "belt creator 64 30 40",
                   "note creator 64 64 400 400 50 60 note.png",
                   "lens creator 64 200 70 80 Gaussian 0.9 2 1 0.5 1 orientation-in"}));
    double x = -1, y = -1;
    char kind[16] = {};
    ASSERT_EQ(std::sscanf(last.c_str(), "lens creator 64 200 %lf %lf Gaussian 0.9 2 1 0 1 %15s", &x,
                          &y, kind),
              3)
        << last;
    EXPECT_STREQ(kind, "Size");
    EXPECT_TRUE(x >= 0 && x <= 99 && y >= 0 && y <= 99) << last;
}

TEST(BuildDirector, NamesWithoutANumberRepeatAndUnsafePatternsLoadNothing)
{
    RecordingBuilder builder;
    OutputCapture out;
    builder.buildTextures(2, "textures/plain.png");
    builder.buildTextures(1, "textures/%s%d.png");
    builder.buildTextures(1, "textures/a-name-that-is-far-too-long-for-me%d.png");
    EXPECT_EQ(builder.log, (Log{"texture textures/plain.png", "texture textures/plain.png"}));
    EXPECT_EQ(out.take(), "\nLoading 2 textures, please wait.\n\nLoading 1 textures, please wait.\n"
                          "Error: texture name pattern needs one integer conversion: textures/%s%d.png\n");
    EXPECT_EQ(builder.getTextureBatches(), 2u);
}

TEST(NamePattern, AcceptsExactlyOneIntegerConversion)
{
    const struct {
        const char* pattern;
        bool ok;
    } rows[] = {{"a%05u.png", true}, {"100%%-%i", true}, {"a.png", false}, {"%d%d", false},
                {"%s", false},       {"%n", false},       {"%", false}};
    for (const auto& row : rows) EXPECT_EQ(isIndexPattern(row.pattern), row.ok) << row.pattern;
    EXPECT_EQ(formatIndexPattern("100%%-%03d", 7), "100%-007");
    EXPECT_EQ(formatIndexPattern("%s", 7), "");
}

TEST(ControllerSetup, BoardWithoutPhysicalSizeHasAreaFactorOne)
{
    VeskConfiguration::SmartBoard board;
    board.resolution_width = 4000;
    board.physical_width = 0;
    EXPECT_DOUBLE_EQ(boardAreaFactor(board), 1.0);
}
