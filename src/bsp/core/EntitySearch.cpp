#include "EntitySearch.h"

#include <utility>

namespace EntitySearch {

namespace {

bool test(const QString &candidate, const QString &text, int flags)
{
    const Qt::CaseSensitivity cs =
        (flags & CaseSensitive) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (flags & Substring)
        return candidate.contains(text, cs);
    return candidate.compare(text, cs) == 0;
}

} // namespace

bool matches(const CEntity &entity, const QString &text, int flags)
{
    for (const CEntityKeyValue &pair : entity.pairs()) {
        const bool testValue =
            (flags & Value) || ((flags & ClassName) && pair.key == QLatin1String("classname"));
        if (testValue && test(pair.value, text, flags))
            return true;
        if ((flags & Key) && test(pair.key, text, flags))
            return true;
    }
    return false;
}

bool toVector(const QStringList &texts, CVector3 &point)
{
    if (texts.size() != 3)
        return false;
    float xyz[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        xyz[i] = texts[i].toFloat(&ok);
        if (!ok)
            return false;
    }
    point.set(xyz[0], xyz[1], xyz[2]);
    return true;
}

bool origin(const CEntity &entity, CVector3 &point)
{
    const CEntityKeyValue *pair = entity.find(QStringLiteral("origin"));
    return pair &&
           toVector(pair->value.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts), point);
}

void orderBox(CVector3 &minimum, CVector3 &maximum)
{
    if (minimum.x > maximum.x)
        std::swap(minimum.x, maximum.x);
    if (minimum.y > maximum.y)
        std::swap(minimum.y, maximum.y);
    if (minimum.z > maximum.z)
        std::swap(minimum.z, maximum.z);
}

bool inBox(const CVector3 &point, const CVector3 &minimum, const CVector3 &maximum)
{
    return minimum.x <= point.x && point.x <= maximum.x && minimum.y <= point.y &&
           point.y <= maximum.y && minimum.z <= point.z && point.z <= maximum.z;
}

bool inSphere(const CVector3 &point, const CVector3 &centre, float radius)
{
    // Written as "shorter than" so that a point that is not a number is outside.
    return (point - centre).lengthSquared() < radius * radius;
}

} // namespace EntitySearch
