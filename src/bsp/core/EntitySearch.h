#pragma once

#include "CEntity.h"
#include "CVector3.h"

#include <QString>
#include <QStringList>

// The entity editor's text filter and its searches in space.
namespace EntitySearch {

// Filter options, a bit set.
enum Flag
{
    ClassName = 0x01,
    Key = 0x02,
    Value = 0x04,
    CaseSensitive = 0x08,
    Substring = 0x10,
    IgnoreHidden = 0x20,
    InvertResults = 0x40,
};
// Class Name, Key, Value and Substring.
constexpr int DefaultFlags = ClassName | Key | Value | Substring;

// The filter's test of one entity against a non-empty text: each pair in
// turn, its value when Value is on (or when Class Name is on and the key is
// "classname"), then its key when Key is on. Substring on: the text occurs;
// off: the whole string equals it. Case matters only with Case Sensitive.
// An entity without pairs never matches.
bool matches(const CEntity &entity, const QString &text, int flags);

// Three numbers (float) from the value of the first "origin" pair, split at
// white space; false for any other count or a part that does not convert.
bool origin(const CEntity &entity, CVector3 &point);
// Three numbers from three texts; false when one does not convert.
bool toVector(const QStringList &texts, CVector3 &point);
// Puts the smaller of each axis in `minimum`.
void orderBox(CVector3 &minimum, CVector3 &maximum);
// Bounds included.
bool inBox(const CVector3 &point, const CVector3 &minimum, const CVector3 &maximum);
// Strictly inside: a point on the sphere is outside. A negative radius acts
// as its absolute value.
bool inSphere(const CVector3 &point, const CVector3 &centre, float radius);

} // namespace EntitySearch
