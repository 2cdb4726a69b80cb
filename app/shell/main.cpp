// nprtable: paint a non-photorealistic picture on a tabletop display.
#include "QTRuduzozovorERUApplication.h"
#include "StartUp.h"
#include "config/QTVeskConfiguration.h"

#include <QApplication>
#include <QtGlobal>

int main(int argc, char** argv)
{
    setDefaultSurfaceFormat();
    auto* application = new QApplication(argc, argv);
    auto* configuration = new QTVeskConfiguration(configurationFileName(argc, argv));
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
    const int code = application->exec();
    delete window;
    delete application;
    return code;
}
