#pragma once
// Pieces of the program's start that tests can reach.

#include <QString>
#include <QStringList>

class QTVeskConfiguration;

// The command line: nprtable [--tuio-port N] [--open PAINTING] [--recovery-interval S]
// [configuration file]. The configuration is the only remaining argument when there is exactly
// one, else "config.xml" (also with two or more).
struct CommandLine {
    // Absolute: a relative name is taken from the directory the program was started in.
    QString configuration;
    // 1 .. 65535 from --tuio-port, 0 when not given (the configuration's port applies).
    int tuioPort = 0;
    // The painting to open once the scene is built (absolute), empty for none.
    QString painting;
    // Seconds between two recovery saves while the painting changes (1 .. 86400).
    int recoveryInterval = 60;
    bool help = false;
    // Non-empty when the command line cannot be used; the program prints it and exits with 1.
    QString error;
};
CommandLine parseCommandLine(const QStringList& arguments, const QString& workingDirectory);
QString usageText();

// Empty when the file can be read; otherwise the message the program prints before exiting with
// 1, naming the file.
QString configurationProblem(const QString& path);

// The default surface format: a compatibility-profile context with alpha and a deep depth
// buffer, for fixed-function drawing and display lists. Set before the application object.
void setDefaultSurfaceFormat();

// Whether an OpenGL context can be created on this system.
bool hasOpenGL();

// Reports the elements the reader skipped and brings the configuration within its limits
// (validateConfiguration), printing one line per change to standard output.
void applyConfigurationLimits(QTVeskConfiguration& configuration);
