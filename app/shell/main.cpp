// nprtable: paint a non-photorealistic picture on a tabletop display.
#include "QTRuduzozovorERUApplication.h"
#include "StartUp.h"
#include "config/QTVeskConfiguration.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QtGlobal>

#include <iostream>

int main(int argc, char** argv)
{
    setDefaultSurfaceFormat();
    auto* application = new QApplication(argc, argv);
    // Names the user's data folder, where the recovery copy of the painting lives.
    QApplication::setApplicationName("nprtable");
    // Qt has taken its own options out of the arguments by now.
    const CommandLine line = parseCommandLine(QApplication::arguments().mid(1), QDir::currentPath());
    if (line.help || !line.error.isEmpty()) {
        if (!line.error.isEmpty()) std::cerr << "nprtable: " << line.error.toStdString() << "\n";
        std::cerr << usageText().toStdString();
        return line.help ? 0 : 1;
    }
    // A configuration that cannot be read would leave a blank window without a word.
    const QString problem = configurationProblem(line.configuration);
    if (!problem.isEmpty()) {
        std::cerr << "nprtable: " << problem.toStdString() << std::endl;
        return 1;
    }
    std::cout << "Configuration: " << line.configuration.toStdString() << std::endl;
    auto* configuration = new QTVeskConfiguration(line.configuration);
    if (line.tuioPort > 0) {
        configuration->touchinput.tuio = true;
        configuration->touchinput.tuio_port = static_cast<uint32_t>(line.tuioPort);
    }
    applyConfigurationLimits(*configuration);
    if (!hasOpenGL()) {
        qWarning("This system has no OpenGL support. Exiting.");
        return -1;
    }
    auto* window = new QTRuduzozovorERUApplication(configuration);
    window->resize(static_cast<int>(configuration->mainwindow.width),
                   static_cast<int>(configuration->mainwindow.height));
    window->setWindowTitle("Vesk Tabletop Framework Demo Application");
    if (configuration->mainwindow.fullscreen) {
        if (!configuration->mainwindow.fullscreen_real)
            window->toggleMultiMonitorFullscreen();
        else
            window->toggleFullscreen();
    }
    window->show();
    window->startSession(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                         line.recoveryInterval, line.painting);
    const int code = application->exec();
    delete window;
    delete application;
    return code;
}
