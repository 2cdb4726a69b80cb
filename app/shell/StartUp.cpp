#include "StartUp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "config/ConfigurationValidator.h"
#include "config/QTVeskConfiguration.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <iostream>

CommandLine parseCommandLine(const QStringList& arguments, const QString& workingDirectory)
{
    CommandLine line;
    QStringList positional;
    // The value of an option given as "--name value" or "--name=value".
    auto valueOf = [&](int& i, const QString& a) {
        if (a.contains('=')) return a.section('=', 1);
        return i + 1 < arguments.size() ? arguments[++i] : QString();
    };
    auto is = [](const QString& a, const char* name) {
        return a == name || a.startsWith(QString(name) + "=");
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (is(a, "--tuio-port")) {
            const QString value = valueOf(i, a);
            bool ok = false;
            const int port = value.toInt(&ok);
            if (!ok || port < 1 || port > 65535) {
                line.error = QString("--tuio-port needs a port number from 1 to 65535, not \"%1\"")
                                 .arg(value);
                return line;
            }
            line.tuioPort = port;
        } else if (is(a, "--open")) {
            const QString value = valueOf(i, a);
            if (value.isEmpty()) {
                line.error = "--open needs a painting file";
                return line;
            }
            line.painting = QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(value));
        } else if (is(a, "--recovery-interval")) {
            const QString value = valueOf(i, a);
            bool ok = false;
            const int seconds = value.toInt(&ok);
            if (!ok || seconds < 1 || seconds > 86400) {
                line.error = QString("--recovery-interval needs a number of seconds from 1 to "
                                     "86400, not \"%1\"")
                                 .arg(value);
                return line;
            }
            line.recoveryInterval = seconds;
        } else if (a.startsWith("--")) {
            line.error = QString("unknown option \"%1\"").arg(a);
            return line;
        } else {
            positional << a;
        }
    }
    const QString name = positional.size() == 1 ? positional.front() : QStringLiteral("config.xml");
    line.configuration = QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(name));
    return line;
}

QString usageText()
{
    return "Usage: nprtable [--tuio-port N] [--open PAINTING] [--recovery-interval S]\n"
           "                [configuration file]\n"
           "  configuration file     XML settings; config.xml in the current directory by default\n"
           "  --tuio-port N          listen for TUIO on UDP port N of 127.0.0.1 instead of the\n"
           "                         configuration's tuio_port (and switch TUIO on)\n"
           "  --open PAINTING        open a saved painting (.nprpaint) once the scene is built\n"
           "  --recovery-interval S  save the recovery copy every S seconds while the painting\n"
           "                         changes (60 by default)\n";
}

QString configurationProblem(const QString& path)
{
    const QFileInfo info(path);
    QString reason;
    if (!info.exists()) {
        reason = "no such file";
    } else if (info.isDir()) {
        reason = "it is a directory";
    } else {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) return QString();
        reason = file.errorString();
    }
    return QString("Cannot read the configuration file \"%1\": %2.").arg(path, reason);
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
