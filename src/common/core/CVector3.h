#pragma once

// Three floats for positions, bounds and colour-like triples. Comparisons are
// by length, done on squared lengths; a float argument is a radius r compared
// as r * r.
class CVector3
{
public:
    CVector3() = default;
    CVector3(float x_, float y_, float z_)
        : x(x_)
        , y(y_)
        , z(z_)
    {}

    void set(float x_, float y_, float z_);
    float lengthSquared() const;

    CVector3 operator+(const CVector3 &b) const;
    CVector3 operator-(const CVector3 &b) const;

    // Shorter than b.
    bool operator<(const CVector3 &b) const;
    // Shorter than r.
    bool operator<(float r) const;
    // Shorter than b, or the same vector.
    bool operator<=(const CVector3 &b) const;
    bool operator<=(float r) const;
    // Not shorter than b (so two vectors of equal length are >= each other).
    bool operator>=(const CVector3 &b) const;
    bool operator>=(float r) const;
    // Same components.
    bool operator==(const CVector3 &b) const;
    // Length equal to r.
    bool operator==(float r) const;

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
