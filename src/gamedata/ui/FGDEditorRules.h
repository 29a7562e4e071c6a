#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

struct FGDEntityClass;

// The decisions of the entity definition editor that need no widget: how
// texts are shown and read back, which types a row may take, and where rows
// may move.
namespace FGDEditor {

// Document bytes as a cell shows them (Latin-1, up to the first zero byte),
// and a cell's text as the document stores it.
QString textOf(const QByteArray &bytes);
QByteArray bytesOf(const QString &text);

// "x y z" of the minimum, then " , x y z" of the maximum when there is one;
// numbers in the general format with six significant digits.
QString sizeText(const FGDEntityClass &entityClass);
// Reads "x y z[, x y z]" into the class; false, changing nothing, when the
// text holds no part. A second part sets the maximum; a single part leaves
// the old maximum numbers but clears hasSizeMax.
bool readSizeText(const QString &text, FGDEntityClass &entityClass);

// "r g b" of a colour.
QString colorText(const QColor &color);
// "r g b" read back, each part clamped to 0..255; `fallback` when the text
// has fewer than three parts.
QColor readColorText(const QString &text, const QColor &fallback);

// The key cell's icon for a keyvalue's flags; empty for none.
QString keyvalueIconPath(bool readonly, bool sphereRadius);

// Whether the parameter-type menu offers `type` to a keyvalue (or, with
// false, to an input or output): "flags" never, "void" only to inputs and
// outputs, "choices" only to keyvalues.
bool parameterTypeOffered(int type, bool forKeyvalue);

// The column of the entity, keyvalue, input and output tables that shows the
// type, which changes through its menu only.
constexpr int TypeColumn = 1;

// Whether `row` names one of `count` elements (the add row does not).
inline bool rowInside(int row, int count)
{
    return row >= 0 && row < count;
}
inline bool canMoveUp(int row, int count)
{
    return row > 0 && row < count;
}
inline bool canMoveDown(int row, int count)
{
    return row >= 0 && row + 1 < count;
}
// The row that becomes current after row `removed` was deleted, leaving
// `remaining` elements: the same row when an element now stands there, else
// the one above; -1 when there is none.
inline int rowAfterDelete(int removed, int remaining)
{
    return removed < remaining ? removed : removed - 1;
}

} // namespace FGDEditor
