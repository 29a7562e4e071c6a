#pragma once

#include "CVector3.h"

#include <QByteArray>
#include <QSet>

struct FGDEntityClass;

namespace FGD {

// One triple of a size: the first three space-separated words of the trimmed
// text as integers stored as floats; a missing word, or one that is no
// integer (such as 8.5), counts 0.
CVector3 sizeTriple(const QByteArray &part);

// Applies the helper list of a class declaration (the text between its type
// word and its "=", such as `base(Targetname) size(-8 -8 -8, 8 8 8)`) to the
// class. Sphere radius key names are added, lowercased, to `sphereNames`. An
// unknown helper is reported through CFileFGD::reportUnknownItem and skipped.
void applyHelpers(const QByteArray &helperText, FGDEntityClass &entityClass,
                  QSet<QByteArray> &sphereNames);

} // namespace FGD
