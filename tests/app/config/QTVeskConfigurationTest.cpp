#include "config/QTVeskConfiguration.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <string>

namespace {

constexpr uint32_t kMissing = 4294967295u;

// Writes xml to a file of its own and reads it the way the program does.
QTVeskConfiguration readXml(const QByteArray& xml)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.xml"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(xml);
    file.close();
    return QTVeskConfiguration(path);
}

// The record as a fresh reader leaves it with no elements read: a sample of every kind of field.
void expectDefaults(const VeskConfiguration& c)
{
    const VeskConfiguration fresh;
    EXPECT_EQ(c.mainwindow.width, fresh.mainwindow.width);
    EXPECT_EQ(c.touchinput.tuio_port, fresh.touchinput.tuio_port);
    // The images list alone has an entry without an element.
    EXPECT_EQ(c.images.width, (std::vector<double>{100.0}));
    EXPECT_TRUE(c.textures.number.empty() && c.containers.xpos.empty() && c.canvas_surface.texture.empty() &&
                c.palette.texture_palette.empty() && c.task.number.empty() && c.font.file.empty());
}

} // namespace

TEST(QTVeskConfigurationTest, EmptyOrMissingFileKeepsEveryDefault)
{
    expectDefaults(readXml(""));
    const QTVeskConfiguration missing(QTemporaryDir().filePath(QStringLiteral("absent.xml")));
    expectDefaults(missing);
    EXPECT_FALSE(missing.readError().isEmpty());
}

TEST(QTVeskConfigurationTest, AbsentAttributesTakeTheirDefaultOrKeepTheEarlierScalarValue)
{
    const auto c = readXml("<config><containers xpos=\"10\" number=\"3\"/>"
                           "<containers rounded=\"0\" width=\"250.5\"/>"
                           "<images number=\"7\"/><images width=\"30\"/></config>");
    const auto& k = c.containers;
    EXPECT_EQ(k.xpos, (std::vector<uint32_t>{10, kMissing}));
    EXPECT_EQ(k.number, (std::vector<uint32_t>{3, 0}));
    EXPECT_EQ(k.width, (std::vector<double>{600.0, 250.5}));
    EXPECT_EQ(k.rounded, (std::vector<bool>{true, false}));
    // The images list's entry without an element is not kept once an element is read.
    EXPECT_EQ(c.images.width, (std::vector<double>{100.0, 30.0}));
    // Item elements too.
    const auto items = readXml("<config><image file=\"images/a.png\" xpos=\"40\"/>"
                               "<label text=\"Hi\" background_a=\"0.5\"/><label/></config>");
    EXPECT_EQ(items.image.ypos, (std::vector<uint32_t>{kMissing}));
    EXPECT_EQ(items.label.text, (std::vector<std::string>{"Hi", "Label"}));
    EXPECT_EQ(items.label.background_a, (std::vector<double>{0.5, 1.0}));

    const auto later = readXml("<c><mainwindow width=\"800\" height=\"600\" fullscreen=\"0\"/>"
                               "<mainwindow width=\"1024\" height=\"\"/></c>");
    EXPECT_EQ(later.mainwindow.width, 1024u);
    EXPECT_EQ(later.mainwindow.height, 600u); // an empty value counts as absent
    EXPECT_FALSE(later.mainwindow.fullscreen);
}

TEST(QTVeskConfigurationTest, FlagValues)
{
    const struct {
        const char* value;
        bool render; // touchextend: true only for 1
        bool vsync;  // ordinary flag: true for any integer but 0
    } data[] = {
        {"1", true, true}, {"2", false, true}, {"0", false, false}, {"true", false, false},
    };
    for (const auto& d : data) {
        SCOPED_TRACE(d.value);
        const auto c = readXml(QByteArray("<c><touchextend render=\"") + d.value +
                               "\"/><graphics vsync=\"" + d.value + "\"/></c>");
        EXPECT_EQ(c.touchextend.render, d.render);
        EXPECT_EQ(c.graphics.vsync, d.vsync);
    }
}

TEST(QTVeskConfigurationTest, TextNonFiniteAndOutOfRangeNumbersAndMinusOneAsTheMissingPosition)
{
    const auto c = readXml("<c><mainwindow width=\"abc\"/><tossing friction=\"nan\" cutoff=\"inf\"/>"
                           "<inside_color r=\"red\"/><wii joystick_speed_factor=\"1e39\"/>"
                           "<strokes number=\"many\" width=\"1e999\"/><infoviscontainer width=\"12.7\" "
                           "height=\"-5\" xpos=\"1e20\" ypos=\"abc\"/></c>");
    EXPECT_EQ(c.mainwindow.width, 0u);
    EXPECT_DOUBLE_EQ(c.tossing.friction, 0.0);
    EXPECT_FLOAT_EQ(c.inside_color.r, 0.0f);
    EXPECT_FLOAT_EQ(c.wii.joystick_speed_factor, 0.0f);
    EXPECT_EQ(c.strokes.number, (std::vector<uint32_t>{0}));
    EXPECT_EQ(c.strokes.width, (std::vector<double>{0.0}));
    const auto& e = c.infoviscontainer;
    EXPECT_EQ(e.width, (std::vector<uint32_t>{12}));
    EXPECT_EQ(e.height, (std::vector<uint32_t>{0}));
    EXPECT_EQ(e.xpos, (std::vector<uint32_t>{kMissing}));
    EXPECT_EQ(e.ypos, (std::vector<uint32_t>{0}));

    const auto positions =
        readXml("<c><destroyer xpos=\"-1\" ypos=\"-2\"/><destroyer xpos=\"4294967295\""
                " ypos=\"4294967296\"/><sizeLens xpos=\"-1\" ypos=\"-20\"/><mainwindow width=\"-1\"/></c>");
    EXPECT_EQ(positions.destroyer.xpos, (std::vector<uint32_t>{kMissing, kMissing}));
    EXPECT_EQ(positions.destroyer.ypos, (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(positions.sizeLens.xpos, (std::vector<int32_t>{-1}));
    EXPECT_EQ(positions.sizeLens.ypos, (std::vector<int32_t>{-20}));
    // Scalars have no missing position: a window 4294967295 pixels wide is no default.
    EXPECT_EQ(positions.mainwindow.width, 0u);
}

TEST(QTVeskConfigurationTest, MalformedFileKeepsWhatCameBeforeTheError)
{
    // What follows a good start: a truncated element, a second root, an undefined entity.
    for (const char* rest : {"<userdata number=\"3\"", "</config><userdata number=\"3\"/>",
                             "<userdata number=\"&bogus;\"/></config>"}) {
        SCOPED_TRACE(rest);
        const auto c = readXml(QByteArray("<config><mainwindow width=\"800\"/><containers xpos=\"5\"/>") + rest);
        EXPECT_FALSE(c.readError().isEmpty());
        EXPECT_EQ(c.mainwindow.width, 800u);
        EXPECT_EQ(c.containers.xpos, (std::vector<uint32_t>{5}));
        EXPECT_EQ(c.userdata.number, 1u);
    }
}

TEST(QTVeskConfigurationTest, UnknownElementsAndAttributesAreIgnoredAndNestingIsNot)
{
    const auto c = readXml("<?xml version=\"1.0\"?><mainwindow width=\"900\"><unknown width=\"1\" height=\"2\"/>"
                           "<deep><deeper><userdata number=\"4\" colour=\"red\"/></deeper></deep>"
                           "<Userdata number=\"7\"/><ns:userdata xmlns:ns=\"urn:x\" number=\"8\"/>"
                           "</mainwindow>");
    EXPECT_TRUE(c.readError().isEmpty());
    EXPECT_EQ(c.mainwindow.width, 900u); // the root is read like any other element
    EXPECT_EQ(c.userdata.number, 4u);    // names are case-sensitive and qualified
}

TEST(QTVeskConfigurationTest, TextsAreUtf8)
{
    const auto c = readXml(u8"<c><task targetArea3EndY=\"42\" description=\"Male den Baum grün – 木\" "
                           u8"additionalDescription=\"a &amp; b &#x263A;\" image=\"\"/>"
                           u8"<canvas_surface texture=\"textures/papier-ü.jpg\"/></c>");
    ASSERT_EQ(c.task.description.size(), 1u);
    EXPECT_EQ(c.task.description[0], std::string(u8"Male den Baum grün – 木"));
    EXPECT_EQ(c.task.image[0], "textures/tasks/defaultTask.png"); // empty counts as absent
    EXPECT_EQ(c.canvas_surface.texture[0], std::string(u8"textures/papier-ü.jpg"));
}
