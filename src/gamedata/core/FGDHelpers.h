#pragma once

#include <QByteArray>
#include <QSet>

struct FGDEntityClass;

namespace FGD {

// Applies the helper list of a class declaration (the text between its type
// word and its "=", such as `base(Targetname) size(-8 -8 -8, 8 8 8)`) to the
// class. Sphere radius key names are added, lowercased, to `sphereNames`. An
// unknown helper is reported through CFileFGD::reportUnknownItem and skipped.
void applyHelpers(const QByteArray &helperText, FGDEntityClass &entityClass,
                  QSet<QByteArray> &sphereNames);

} // namespace FGD
