#include "TouchIndicator.h"

TouchIndicator::TouchIndicator(double x, double y, double z, unsigned long id_, double boundWidth_,
                               double boundHeight_)
    : id(id_), xPos(x), yPos(y), zPos(z), boundWidth(boundWidth_), boundHeight(boundHeight_)
{
}
