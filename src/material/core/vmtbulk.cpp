#include "vmtbulk.h"

#include "CPath.h"
#include "functions.h"
#include "vmtfunctions.h"

#include <QRegularExpression>
#include <QStringList>

int vmtMaterialsEnd(const QString &path)
{
    static const QRegularExpression materials(QStringLiteral("(\\\\|/)materials(\\\\|/)"));
    const QRegularExpressionMatch match = materials.match(path);
    return match.hasMatch() ? match.capturedEnd() : -1;
}

QString vmtRelativePath(const QString &path)
{
    const int end = vmtMaterialsEnd(path);
    if (end < 0)
        return QString();
    const CPath below(path.mid(end), true);
    return below.directory(true) + below.baseName();
}

QString vmtTextureMaterial(const QString &texture)
{
    return QStringLiteral("\"LightmappedGeneric\"\n{\n\t\"$basetexture\" \"") + texture +
           QStringLiteral("\"\n}\n");
}

QString vmtKeyValue(const QString &text, const QString &key)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed == QLatin1String("Proxies") || trimmed == QLatin1String("\"Proxies\""))
            break;
        QString lineKey, lineValue;
        if (splitKeyValueLine(trimmed, lineKey, lineValue) && lineKey == key)
            return lineValue;
    }
    return QString();
}

void removeVmtKeyValues(QString &text, const QString &key, const QString &value)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    QStringList kept;
    kept.reserve(lines.size());
    int i = 0;
    for (; i < lines.size() && !isVmtProxiesHeader(lines.at(i)); ++i) {
        const QString &line = lines.at(i);
        QString lineKey, lineValue;
        const bool remove =
            splitKeyValueLine(line, lineKey, lineValue) &&
            (key.isEmpty() ||
             (lineKey.compare(key, Qt::CaseInsensitive) == 0 &&
              (value.isEmpty() || lineValue.compare(value, Qt::CaseInsensitive) == 0)));
        if (!remove)
            kept << line;
    }
    for (; i < lines.size(); ++i)
        kept << lines.at(i);
    text = kept.join(QLatin1Char('\n'));
}
