#include "config/VeskConfiguration.h"

void VeskConfiguration::ensureImageEntry()
{
    if (!images.width.empty())
        return;
    images.number.push_back(0);
    images.width.push_back(100.0);
    images.height.push_back(100.0);
}
