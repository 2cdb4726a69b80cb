#include "Vector3d.h"

#include <cmath>

double Vector3d::length() const
{
    return std::sqrt(squareLength());
}

double Vector3d::approximateLength() const
{
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    const double az = std::fabs(z);
    if (ax >= ay && ax >= az)
        return ax + 0.366 * (ay + az);
    if (ay >= az)
        return ay + 0.366 * (ax + az);
    return az + 0.366 * (ax + ay);
}

void Vector3d::normalize()
{
    const double l = length();
    if (l == 0.0)
        return;
    x /= l;
    y /= l;
    z /= l;
}

Vector3d Vector3d::normalized() const
{
    Vector3d v(*this);
    v.normalize();
    return v;
}
