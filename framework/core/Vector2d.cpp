#include "Vector2d.h"

#include <algorithm>
#include <cmath>

double Vector2d::length() const
{
    return std::sqrt(squareLength());
}

double Vector2d::approximateLength() const
{
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    return std::max(ax, ay) + 0.366 * std::min(ax, ay);
}

void Vector2d::normalize()
{
    const double l = length();
    if (l == 0.0)
        return;
    x /= l;
    y /= l;
}

Vector2d Vector2d::normalized() const
{
    Vector2d v(*this);
    v.normalize();
    return v;
}
