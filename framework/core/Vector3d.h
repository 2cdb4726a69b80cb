#pragma once
// Three-component double vector. Units and frame are the caller's.

class Vector3d {
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    Vector3d() = default;
    Vector3d(double x, double y, double z) : x(x), y(y), z(z) {}

    // Component i: 0 is x, 1 is y; any other index is z (indices never reach past the vector).
    double& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    double length() const;
    double squareLength() const { return x * x + y * y + z * z; }
    // The largest absolute component plus 0.366 * the sum of the other two.
    double approximateLength() const;

    // Divide by the length. A zero vector stays zero instead of turning into NaN.
    void normalize();
    Vector3d normalized() const;
    double dot(const Vector3d& v) const { return x * v.x + y * v.y + z * v.z; }

    // Component by component, including * and /.
    Vector3d operator+(const Vector3d& v) const { return Vector3d(x + v.x, y + v.y, z + v.z); }
    Vector3d operator-(const Vector3d& v) const { return Vector3d(x - v.x, y - v.y, z - v.z); }
    Vector3d operator*(const Vector3d& v) const { return Vector3d(x * v.x, y * v.y, z * v.z); }
    Vector3d operator/(const Vector3d& v) const { return Vector3d(x / v.x, y / v.y, z / v.z); }
    Vector3d& operator+=(const Vector3d& v) { x += v.x; y += v.y; z += v.z; return *this; }
    Vector3d& operator-=(const Vector3d& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
    Vector3d& operator*=(const Vector3d& v) { x *= v.x; y *= v.y; z *= v.z; return *this; }
    Vector3d& operator/=(const Vector3d& v) { x /= v.x; y /= v.y; z /= v.z; return *this; }

    // With a number: + and - shift every component, * and / scale.
    Vector3d operator+(double s) const { return Vector3d(x + s, y + s, z + s); }
    Vector3d operator-(double s) const { return Vector3d(x - s, y - s, z - s); }
    Vector3d operator*(double s) const { return Vector3d(x * s, y * s, z * s); }
    Vector3d operator/(double s) const { return Vector3d(x / s, y / s, z / s); }
    Vector3d& operator+=(double s) { x += s; y += s; z += s; return *this; }
    Vector3d& operator-=(double s) { x -= s; y -= s; z -= s; return *this; }
    Vector3d& operator*=(double s) { x *= s; y *= s; z *= s; return *this; }
    Vector3d& operator/=(double s) { x /= s; y /= s; z /= s; return *this; }

    // Exact equality of all components.
    bool operator==(const Vector3d& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const Vector3d& v) const { return !(*this == v); }

    // Ordering by length only: different vectors of equal length are neither < nor >.
    bool operator<(const Vector3d& v) const { return length() < v.length(); }
    bool operator<=(const Vector3d& v) const { return length() <= v.length(); }
    bool operator>(const Vector3d& v) const { return length() > v.length(); }
    bool operator>=(const Vector3d& v) const { return length() >= v.length(); }
};

inline Vector3d operator*(double s, const Vector3d& v) { return v * s; }
