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

TEST(BundledConfigurationTest, ReadsCompletelyWithinTheLimitsAndEveryFileItAndTheDefaultsNameExists)
{
    QTVeskConfiguration c(dataDir.filePath(QStringLiteral("config.xml")));
    EXPECT_TRUE(c.readError().isEmpty()) << c.readError().toStdString();
    EXPECT_TRUE(c.ignoredElements().empty());
    EXPECT_EQ(validateConfiguration(c), std::vector<std::string>{});
    // Longer texture patterns load nothing.
    for (const std::string& pattern : c.textures.source)
        EXPECT_LT(pattern.size(), 45u) << pattern;

    const QTVeskConfiguration documents(dataDir.filePath(QStringLiteral("examples/documents.xml")));
    EXPECT_TRUE(documents.readError().isEmpty()) << documents.readError().toStdString();
    const struct {
        const char* name;
        QTVeskConfiguration c;
        std::size_t atLeast;
    } rows[] = {
        {"config.xml", c, 120},
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
