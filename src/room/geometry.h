// Small geometry values shared by the scene, the camera and the drawing:
// a single-precision point or vector and an axis-aligned box.
#pragma once

#include <cmath>

struct point3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr point3() = default;
    constexpr point3(float x, float y, float z) : x(x), y(y), z(z) {}

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    point3 operator+(const point3& o) const { return point3(x + o.x, y + o.y, z + o.z); }
    point3 operator-(const point3& o) const { return point3(x - o.x, y - o.y, z - o.z); }
    point3 operator*(float s) const { return point3(x * s, y * s, z * s); }
    point3& operator+=(const point3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    point3& operator-=(const point3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    bool operator==(const point3& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const point3& o) const { return !(*this == o); }

    point3 cross(const point3& o) const
    {
        return point3(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    float length() const { return std::sqrt(x * x + y * y + z * z); }
    // A zero vector has no direction; dividing would give NaN, so it stays zero.
    point3 normalized() const
    {
        const float len = length();
        return len > 0.0f ? point3(x / len, y / len, z / len) : point3();
    }
    bool isFinite() const { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }
};

inline point3 operator*(float s, const point3& p) { return p * s; }

struct BoundingBox
{
    point3 min;
    point3 max;
    bool empty = true;

    // Keeps the coordinates: only the next added point replaces them.
    void reset() { empty = true; }

    void add(const point3& p)
    {
        if (empty) {
            min = max = p;
        } else {
            for (int i = 0; i < 3; ++i) {
                if (p[i] < min[i]) min[i] = p[i];
                if (p[i] > max[i]) max[i] = p[i];
            }
        }
        empty = false;
    }
    void add(float x, float y, float z) { add(point3(x, y, z)); }

    point3 getMin() const { return min; }
    point3 getMax() const { return max; }
    point3 center() const { return (min + max) * 0.5f; }
};
