#include "CVector3.h"

void CVector3::set(float x_, float y_, float z_)
{
    x = x_;
    y = y_;
    z = z_;
}

float CVector3::lengthSquared() const
{
    return x * x + y * y + z * z;
}

CVector3 CVector3::operator+(const CVector3 &b) const
{
    return CVector3(x + b.x, y + b.y, z + b.z);
}

CVector3 CVector3::operator-(const CVector3 &b) const
{
    return CVector3(x - b.x, y - b.y, z - b.z);
}

bool CVector3::operator<(const CVector3 &b) const
{
    return lengthSquared() < b.lengthSquared();
}

bool CVector3::operator<(float r) const
{
    return lengthSquared() < r * r;
}

bool CVector3::operator<=(const CVector3 &b) const
{
    return *this < b || *this == b;
}

bool CVector3::operator<=(float r) const
{
    return lengthSquared() <= r * r;
}

bool CVector3::operator>=(const CVector3 &b) const
{
    return !(*this < b);
}

bool CVector3::operator>=(float r) const
{
    return lengthSquared() >= r * r;
}

bool CVector3::operator==(const CVector3 &b) const
{
    return x == b.x && y == b.y && z == b.z;
}

bool CVector3::operator==(float r) const
{
    return lengthSquared() == r * r;
}
