// The configuration shipped in data/ and the files it names, as the build leaves them.
#include "BundledFiles.h"
#include "config/ConfigurationValidator.h"
#include "config/QTVeskConfiguration.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <string>
#include <vector>

namespace {

const QDir dataDir(QStringLiteral(NPR_DATA_DIR));

void expectLoadable(const std::string& file)
{
    const QString path = dataDir.filePath(QString::fromStdString(file));
    ASSERT_TRUE(QFileInfo::exists(path)) << file;
    if (path.endsWith(QLatin1String(".png"))) {
        EXPECT_FALSE(QImage(path).isNull()) << file;
    } else if (path.endsWith(QLatin1String(".jpg"))) {
        // Only the signature: decoding would load Qt's JPEG plugin, and a plugin loaded at run
        // time trips LeakSanitizer's thread-local storage scan in the sanitizer build.
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file;
        EXPECT_TRUE(f.read(3) == QByteArray("\xFF\xD8\xFF", 3)) << file;
    }
}

} // namespace

TEST(BundledConfigurationTest, ReadsCompletelyWithinTheLimitsAsADesktopWindow)
{
    QTVeskConfiguration c(dataDir.filePath(QStringLiteral("config.xml")));
    EXPECT_TRUE(c.readError().isEmpty()) << c.readError().toStdString();
    EXPECT_TRUE(c.ignoredElements().empty());
    EXPECT_EQ(validateConfiguration(c), std::vector<std::string>{});
    EXPECT_FALSE(c.mainwindow.fullscreen);
    // The texture table: the brush icon, then stroke groups of nine; longer patterns load nothing.
    ASSERT_GE(c.textures.number.size(), 2u);
    EXPECT_EQ(c.textures.number[0], 1u);
    for (size_t i = 1; i < c.textures.number.size(); ++i)
        EXPECT_EQ(c.textures.number[i], 9u) << c.textures.source[i];
    for (const std::string& pattern : c.textures.source)
        EXPECT_LT(pattern.size(), 45u) << pattern;
}

TEST(BundledConfigurationTest, EveryFileTheBundledAndDefaultConfigurationsNameExists)
{
    const QTVeskConfiguration documents(dataDir.filePath(QStringLiteral("examples/documents.xml")));
    EXPECT_TRUE(documents.readError().isEmpty()) << documents.readError().toStdString();
    const struct {
        const char* name;
        QTVeskConfiguration c;
        std::size_t atLeast;
    } rows[] = {
        {"config.xml", QTVeskConfiguration(dataDir.filePath(QStringLiteral("config.xml"))), 120},
        {"examples/documents.xml", documents, 2},
        // One element of each kind that names files, all attributes absent.
        {"defaults",
         QTVeskConfiguration::fromData(
             "<c><textures/><destroyer/><storage_bin_creator/><pool_current_creator/>"
             "<belt_current_creator/><sticky_board_creator/><sticky_note_creator/><lens_creator/>"
             "<colorscale/><representationchanger/><contextmenu/><cornermenu/><ringmenu/>"
             "<strokemenu/><canvas_surface/><palette/><font/><task/></c>"),
         1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto files = namedFiles(row.c);
        EXPECT_GE(files.size(), row.atLeast);
        for (const std::string& file : files) expectLoadable(file);
    }
}

TEST(BundledConfigurationTest, StrokeTexturesAreWhiteAlphaShapes)
{
    const QTVeskConfiguration c(dataDir.filePath(QStringLiteral("config.xml")));
    for (size_t i = 1; i < c.textures.source.size(); ++i) {
        const QString pattern = QString::fromStdString(c.textures.source[i]);
        const QImage image(dataDir.filePath(QString(pattern).replace(QLatin1String("%d"), QStringLiteral("1"))));
        ASSERT_FALSE(image.isNull()) << pattern.toStdString();
        ASSERT_TRUE(image.hasAlphaChannel()) << pattern.toStdString();
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        int covered = 0;
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x) {
                const QRgb px = argb.pixel(x, y);
                if (qAlpha(px) > 0) {
                    ++covered;
                    EXPECT_EQ(qRed(px) + qGreen(px) + qBlue(px), 3 * 255) << pattern.toStdString();
                }
            }
        // A stroke, neither empty nor a filled square.
        EXPECT_GT(covered, argb.width() * argb.height() / 20) << pattern.toStdString();
        EXPECT_LT(covered, argb.width() * argb.height() * 3 / 4) << pattern.toStdString();
        // Transparent corners, so the visible bounding box is smaller than the image.
        EXPECT_EQ(qAlpha(argb.pixel(0, 0)), 0);
    }
}
