#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Names and small text rules of entity definition files.
namespace FGD {

// "@BaseClass" .. "@FilterClass" for 0..6; empty for any other code.
QString classTypeName(int code);
// "void" .. "flags" for 0..25; empty for any other code.
QString parameterTypeName(int code);

// The declaration word, matched by prefix ignoring case; anything unknown
// ("@BaseClass" included) is 0.
int classTypeFromName(const QByteArray &word);
// The first type name the text begins with, ignoring case, in code order (so
// "color255" wins over "color1" and "vecline" over "vector"); 2 (string)
// when none does.
int parameterTypeFromName(const QByteArray &text);

// "r g b" (blanks collapsed, extra words ignored) as an opaque ARGB value,
// each part's integer value clamped to 0..255 (a part that is no integer
// counts 0); `fallback` when there are fewer than three words.
quint32 parseColorTriple(const QByteArray &text, quint32 fallback);

// Blank bytes: 7 to 13 and the space.
inline bool isBlank(char c)
{
    return c == ' ' || (c >= 7 && c <= 13);
}

// The text trimmed; from a leading double quote, what lies up to the next
// one (or the end); otherwise the bytes up to the first blank, "//" or quote.
QByteArray unquote(const QByteArray &text);

} // namespace FGD
