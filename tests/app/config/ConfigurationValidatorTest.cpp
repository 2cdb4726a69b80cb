#include "config/ConfigurationValidator.h"
#include "config/QTVeskConfiguration.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <string>
#include <utility>
#include <vector>

namespace {

QTVeskConfiguration readBody(const QByteArray& body)
{
    return QTVeskConfiguration::fromData("<c>" + body + "</c>");
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
}

} // namespace

// Each row is a value that crashed, hung or silently changed the program; the validator names it
// once and replaces it.
TEST(ConfigurationValidatorTest, RegressionUnboundedSizesCountsAndPorts)
{
    const struct {
        const char* name;
        QByteArray body;
        const char* lines;
    } data[] = {
        {"huge window", R"(<mainwindow width="100000"/>)",
         "Configuration: mainwindow width=\"100000\" is out of range 1..16384; using 16384\n"},
        {"negative and NaN window", R"(<mainwindow width="-400" height="nan"/>)",
         "Configuration: mainwindow width=\"0\" is out of range 1..16384; using 700\n"
         "Configuration: mainwindow height=\"0\" is out of range 1..16384; using 525\n"},
        {"huge global buffers", R"(<globalbuffers width="4294967295" height="100000"/>)",
         "Configuration: globalbuffers width=\"4294967295\" is out of range 1..16384; using 16384\n"
         "Configuration: globalbuffers height=\"100000\" is out of range 1..16384; using 16384\n"},
        {"no users", R"(<userdata number="0"/>)",
         "Configuration: userdata number=\"0\" is out of range 1..64; using 1\n"},
        {"too many users", R"(<userdata number="100000000" wiis="2"/>)",
         "Configuration: userdata number=\"100000000\" is out of range 1..64; using 64\n"
         "Configuration: userdata wiis=\"2\" is out of range 0..0; using 0\n"},
        {"unknown demo", R"(<startup demo_type="9"/>)",
         "Configuration: startup demo_type=\"9\" is out of range 0..3; using 0\n"},
        {"ports", R"(<touchinput tuio_port="70000"/><osc receive_port="-1" send_port="65535"/>)",
         "Configuration: osc receive_port=\"0\" is out of range 1..65535; using 7000\n"
         "Configuration: touchinput tuio_port=\"70000\" is out of range 1..65535; using 3333\n"},
        {"textures -1", R"(<textures number="-1" source="t/%d.png"/>)",
         "Configuration: textures number=\"4294967295\" (entry 1) exceeds the limit of 65535 in "
         "all; using 65535\n"},
        {"textures -1 of one file", R"(<textures number="-1" source="t.png"/>)",
         "Configuration: textures number=\"4294967295\" (entry 1, one file) is out of range "
         "0..256; using 256\n"},
        {"strokes -1", R"(<strokes number="-1"/>)",
         "Configuration: strokes number=\"4294967295\" (entry 1) exceeds the limit of 100000 in "
         "all; using 100000\n"},
        {"strokes over two entries", R"(<points number="60000"/><points number="60000"/>)",
         "Configuration: points number=\"60000\" (entry 2) exceeds the limit of 100000 in all; "
         "using 40000\n"},
        {"stroke width 1e30", R"(<strokes width="1e30"/><tiles height="-5"/>)",
         "Configuration: strokes width=\"1e+30\" (entry 1) is out of range 0..16384; using 16384\n"
         "Configuration: tiles height=\"-5\" (entry 1) is out of range 0..16384; using 100\n"},
        {"tool brushes and overflow",
         R"(<canvas_surface overflow="1e12" number_of_toolbrushes="100000"/>)",
         "Configuration: canvas_surface overflow=\"1e+12\" (entry 1) is out of range 0..1024; "
         "using 1024\n"
         "Configuration: canvas_surface number_of_toolbrushes=\"100000\" (entry 1) is out of range "
         "0..64; using 64\n"},
        {"creators, destroyer and pucks",
         R"(<lens_creator width="100000"/><destroyer height="-1"/><hockey_pucks size="0"/>)",
         "Configuration: hockey_pucks size=\"0\" (entry 1) is out of range 1..16384; using 200\n"
         "Configuration: destroyer height=\"4294967295\" (entry 1) is out of range 0..16384; "
         "using 16384\n"
         "Configuration: lens_creator width=\"100000\" (entry 1) is out of range 0..16384; using "
         "16384\n"},
        {"200 canvases", QByteArray("<canvas_surface/>").repeated(200),
         "Configuration: canvas_surface appears 200 times, more than 4; using the first 4\n"},
        {"menus", R"(<cornermenu width="4000000000" height="0"/>)" +
                      QByteArray("<strokemenu/>").repeated(9),
         "Configuration: cornermenu width=\"4000000000\" (entry 1) is out of range 1..2048; "
         "using 2048\n"
         "Configuration: cornermenu height=\"0\" (entry 1) is out of range 1..2048; using 200\n"
         "Configuration: strokemenu appears 9 times, more than 4; using the first 4\n"},
    };
    for (const auto& d : data) {
        SCOPED_TRACE(d.name);
        QTVeskConfiguration c = readBody(d.body);
        EXPECT_EQ(joined(validateConfiguration(c)), d.lines);
        // Validating again changes nothing more.
        EXPECT_EQ(joined(validateConfiguration(c)), "");
    }
}

// Values at the limits, and every default, pass untouched and silently; replaced ones are used.
TEST(ConfigurationValidatorTest, ValuesWithinTheLimitsAreKeptAndReplacedOnesAreUsed)
{
    QTVeskConfiguration c = readBody(
        R"(<mainwindow width="16384" height="1"/><globalbuffers width="1" height="16384"/>)"
        R"(<userdata number="60" wiis="4"/><startup demo_type="3"/>)"
        R"(<touchinput tuio_port="65535"/><osc receive_port="1"/>)"
        R"(<textures number="65279" source="a/%d.png"/><textures number="256" source="b.png"/>)"
        R"(<strokes number="99999" width="16384"/><strokes number="1"/>)"
        R"(<canvas_surface overflow="1024" number_of_toolbrushes="64"/><font size="1024"/>)");
    EXPECT_EQ(joined(validateConfiguration(c)), "");
    EXPECT_EQ(c.textures.number, (VeskConfiguration::UnsignedList{65279, 256}));
    EXPECT_EQ(c.strokes.number, (VeskConfiguration::UnsignedList{99999, 1}));
    QTVeskConfiguration defaults = readBody("");
    EXPECT_EQ(joined(validateConfiguration(defaults)), "");

    // Replaced values are the ones used.
    QTVeskConfiguration r = readBody(
        R"(<mainwindow width="0" height="100000"/><userdata number="0"/><strokes number="-1"/>)"
        R"(<strokes number="7"/>)" + QByteArray("<canvas_surface/>").repeated(6));
    validateConfiguration(r);
    EXPECT_EQ(std::make_pair(r.mainwindow.width, r.mainwindow.height), std::make_pair(700u, 16384u));
    EXPECT_EQ(r.userdata.number, 1u);
    EXPECT_EQ(r.strokes.number, (VeskConfiguration::UnsignedList{100000, 0}));
    EXPECT_EQ(r.canvas_surface.border.size(), 4u);
}

TEST(ConfigurationValidatorTest, RegressionAMillionElementsFilledTheMemory)
{
    const QTVeskConfiguration c =
        readBody(QByteArray(R"(<points number="1"/>)").repeated(1030) +
                 QByteArray("<mainwindow/>").repeated(1025));
    EXPECT_EQ(c.points.number.size(), 1024u);
    EXPECT_EQ(joined(c.ignoredElements()),
              "Configuration: mainwindow appears 1025 times, more than 1024; the rest is ignored\n"
              "Configuration: points appears 1030 times, more than 1024; the rest is ignored\n");
    EXPECT_TRUE(readBody(R"(<points/>)").ignoredElements().empty());
}
