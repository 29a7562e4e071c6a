#include "PackageEntryName.h"

#include <QVector>

namespace {

bool isForbidden(QChar c)
{
    const ushort u = c.unicode();
    // C0 and C1 control characters, DEL included; separators and a drive's
    // colon are never part of one name.
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || c == QLatin1Char('/') ||
           c == QLatin1Char('\\') || c == QLatin1Char(':');
}

bool isValid(const QStringRef &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.front().isSpace() || name.back().isSpace())
        return false;
    for (const QChar c : name) {
        if (isForbidden(c))
            return false;
    }
    return true;
}

} // namespace

namespace PackageEntryName {

bool isValidComponent(const QString &name)
{
    return isValid(QStringRef(&name));
}

bool isValidPath(const QString &path)
{
    const QVector<QStringRef> parts = path.splitRef(QLatin1Char('/'));
    for (const QStringRef &part : parts) {
        if (!isValid(part))
            return false;
    }
    return true;
}

} // namespace PackageEntryName
