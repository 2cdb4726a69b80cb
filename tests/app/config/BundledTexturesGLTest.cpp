// Every image the bundled configuration names loads as a texture through the controller.
#include "BundledFiles.h"
#include "GLTestContext.h"
#include "OutputCapture.h"
#include "config/QTVeskConfiguration.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <QDir>

class BundledTexturesGLTest : public GLTest {};

TEST_F(BundledTexturesGLTest, NoNamedTextureFailsToLoad)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral(NPR_DATA_DIR)));
    const QTVeskConfiguration config(QStringLiteral("config.xml"));
    RuduzozovorERUVisGL vis(1, 64, 64, 256, 256);
    OutputCapture out;
    unsigned int loaded = 0;
    for (const std::string& file : namedFiles(config)) {
        if (file.size() < 4 || file.compare(file.size() - 4, 4, ".ttf") == 0) continue;
        if (vis.loadTexture(file.c_str(), true) != TabletopVisGL::kTextureLoadFailed) ++loaded;
    }
    const std::string printed = out.take();
    QDir::setCurrent(previous);
    EXPECT_EQ(printed.find("Unable to load texture image"), std::string::npos) << printed;
    EXPECT_GT(loaded, 100u);
    EXPECT_EQ(vis.getNumberOfImageTextures(), loaded);
}
