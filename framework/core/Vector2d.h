#pragma once
// Two-component double vector. Units and frame are the caller's (table pixels or a component's
// local frame); the type carries no coordinate space of its own.

class Vector2d {
public:
    double x = 0.0;
    double y = 0.0;

    Vector2d() = default;
    Vector2d(double x, double y) : x(x), y(y) {}

    // Component i: 0 is x; any other index is y (indices never reach past the vector).
    double& operator[](int i) { return i == 0 ? x : y; }
    double operator[](int i) const { return i == 0 ? x : y; }

    double length() const;
    double squareLength() const { return x * x + y * y; }
    // max(|x|, |y|) + 0.366 * min(|x|, |y|): a cheap estimate of length() without a square root.
    double approximateLength() const;

    // Divide by the length. A zero vector stays zero instead of turning into NaN.
    void normalize();
    Vector2d normalized() const;
    // The vector turned by +90 degrees: (-y, x).
    Vector2d perp() const { return Vector2d(-y, x); }
    double dot(const Vector2d& v) const { return x * v.x + y * v.y; }

    // Component by component, including * and /.
    Vector2d operator+(const Vector2d& v) const { return Vector2d(x + v.x, y + v.y); }
    Vector2d operator-(const Vector2d& v) const { return Vector2d(x - v.x, y - v.y); }
    Vector2d operator*(const Vector2d& v) const { return Vector2d(x * v.x, y * v.y); }
    Vector2d operator/(const Vector2d& v) const { return Vector2d(x / v.x, y / v.y); }
    Vector2d& operator+=(const Vector2d& v) { x += v.x; y += v.y; return *this; }
    Vector2d& operator-=(const Vector2d& v) { x -= v.x; y -= v.y; return *this; }
    Vector2d& operator*=(const Vector2d& v) { x *= v.x; y *= v.y; return *this; }
    Vector2d& operator/=(const Vector2d& v) { x /= v.x; y /= v.y; return *this; }

    // With a number: + and - shift every component, * and / scale.
    Vector2d operator+(double s) const { return Vector2d(x + s, y + s); }
    Vector2d operator-(double s) const { return Vector2d(x - s, y - s); }
    Vector2d operator*(double s) const { return Vector2d(x * s, y * s); }
    Vector2d operator/(double s) const { return Vector2d(x / s, y / s); }
    Vector2d& operator+=(double s) { x += s; y += s; return *this; }
    Vector2d& operator-=(double s) { x -= s; y -= s; return *this; }
    Vector2d& operator*=(double s) { x *= s; y *= s; return *this; }
    Vector2d& operator/=(double s) { x /= s; y /= s; return *this; }

    // Exact equality of all components.
    bool operator==(const Vector2d& v) const { return x == v.x && y == v.y; }
    bool operator!=(const Vector2d& v) const { return !(*this == v); }

    // Ordering by length only: different vectors of equal length are neither < nor >.
    bool operator<(const Vector2d& v) const { return length() < v.length(); }
    bool operator<=(const Vector2d& v) const { return length() <= v.length(); }
    bool operator>(const Vector2d& v) const { return length() > v.length(); }
    bool operator>=(const Vector2d& v) const { return length() >= v.length(); }
};

inline Vector2d operator*(double s, const Vector2d& v) { return v * s; }
