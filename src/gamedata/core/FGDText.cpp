#include "FGDText.h"

#include "FGDRecords.h"

#include <QList>

namespace {

const char *const ClassTypeNames[FGDClassTypeCount] = {
    "@BaseClass",     "@PointClass", "@NPCClass",   "@SolidClass",
    "@KeyFrameClass", "@MoveClass",  "@FilterClass"};

const char *const ParameterTypeNames[FGDParameterTypeCount] = {"void",
                                                               "choices",
                                                               "string",
                                                               "integer",
                                                               "float",
                                                               "axis",
                                                               "angle",
                                                               "color255",
                                                               "color1",
                                                               "filterclass",
                                                               "material",
                                                               "node_dest",
                                                               "npcclass",
                                                               "origin",
                                                               "pointentityclass",
                                                               "scene",
                                                               "sidelist",
                                                               "sound",
                                                               "sprite",
                                                               "studio",
                                                               "target_destination",
                                                               "target_name_or_class",
                                                               "target_source",
                                                               "vecline",
                                                               "vector",
                                                               "flags"};

// Compared with the lowercased word in this order; "@baseclass" is the
// fallback and is not listed.
const char *const ClassTypeWords[] = {"@pointclass",    "@npcclass",  "@solidclass",
                                      "@keyframeclass", "@moveclass", "@filterclass"};

// Integer value of a word, or 0 when it is none.
qint64 integerOf(const QByteArray &word)
{
    bool ok = false;
    const qint64 value = word.toLongLong(&ok, 10);
    return ok ? value : 0;
}

} // namespace

namespace FGD {

QString classTypeName(int code)
{
    if (code < 0 || code >= FGDClassTypeCount)
        return QString();
    return QString::fromLatin1(ClassTypeNames[code]);
}

QString parameterTypeName(int code)
{
    if (code < 0 || code >= FGDParameterTypeCount)
        return QString();
    return QString::fromLatin1(ParameterTypeNames[code]);
}

int classTypeFromName(const QByteArray &word)
{
    const QByteArray lower = word.toLower();
    for (int i = 0; i < int(sizeof ClassTypeWords / sizeof *ClassTypeWords); ++i) {
        if (lower.startsWith(ClassTypeWords[i]))
            return i + FGDPointClass;
    }
    return FGDBaseClass;
}

int parameterTypeFromName(const QByteArray &text)
{
    // Only the longest name's worth of bytes can decide the match.
    const QByteArray lower = text.left(32).toLower();
    for (int code = 0; code < FGDParameterTypeCount; ++code) {
        if (lower.startsWith(ParameterTypeNames[code]))
            return code;
    }
    return FGDString;
}

quint32 parseColorTriple(const QByteArray &text, quint32 fallback)
{
    const QList<QByteArray> parts = text.simplified().split(' ');
    if (parts.size() < 3)
        return fallback;
    quint32 rgb = 0xFF000000u;
    for (int i = 0; i < 3; ++i)
        rgb |= quint32(qBound<qint64>(0, integerOf(parts.at(i)), 255)) << (16 - 8 * i);
    return rgb;
}

QByteArray unquote(const QByteArray &text)
{
    const QByteArray trimmed = text.trimmed();
    if (trimmed.startsWith('"')) {
        const int close = trimmed.indexOf('"', 1);
        return close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
    }
    int end = 0;
    while (end < trimmed.size()) {
        const char c = trimmed.at(end);
        if (isBlank(c) || c == '"' ||
            (c == '/' && end + 1 < trimmed.size() && trimmed.at(end + 1) == '/'))
            break;
        ++end;
    }
    return trimmed.left(end);
}

} // namespace FGD
