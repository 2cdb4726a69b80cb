#pragma once
// Pieces of the program's start that tests can reach.

#include <QString>

class QTVeskConfiguration;

// The configuration file: the only argument when there is exactly one, else "config.xml".
QString configurationFileName(int argc, char** argv);

// The default surface format: a compatibility-profile context with alpha and a deep depth
// buffer, for fixed-function drawing and display lists. Set before the application object.
void setDefaultSurfaceFormat();

// Whether an OpenGL context can be created on this system.
bool hasOpenGL();

// Reports the elements the reader skipped and brings the configuration within its limits
// (validateConfiguration), printing one line per change to standard output.
void applyConfigurationLimits(QTVeskConfiguration& configuration);
