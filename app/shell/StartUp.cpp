#include "StartUp.h"

#include "config/ConfigurationValidator.h"
#include "config/QTVeskConfiguration.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <iostream>

QString configurationFileName(int argc, char** argv)
{
    if (argc == 2 && argv && argv[1]) return QString::fromLocal8Bit(argv[1]);
    return QStringLiteral("config.xml");
}

void setDefaultSurfaceFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(24);
    format.setSwapInterval(0);
    QSurfaceFormat::setDefaultFormat(format);
}

bool hasOpenGL()
{
    QOpenGLContext context;
    if (!context.create()) return false;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    const bool ok = surface.isValid() && context.makeCurrent(&surface);
    if (ok) context.doneCurrent();
    return ok;
}

void applyConfigurationLimits(QTVeskConfiguration& configuration)
{
    for (const std::string& line : configuration.ignoredElements())
        std::cout << line << std::endl;
    for (const std::string& line : validateConfiguration(configuration))
        std::cout << line << std::endl;
}
