#include "vmtbulk.h"

#include "CPath.h"
#include "functions.h"
#include "vmtblocks.h"

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
    const VmtStructure structure(lines);
    // A patch's "replace" block is applied after its "insert" block.
    QString found;
    for (const int keys : structure.keyBlocks()) {
        QString value;
        if (structure.findKey(lines, keys, key, Qt::CaseSensitive, &value) >= 0)
            found = value;
    }
    return found;
}

void removeVmtKeyValues(QString &text, const QString &key, const QString &value)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    const VmtStructure structure(lines);
    QStringList kept;
    kept.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        QString lineKey, lineValue;
        const bool remove =
            structure.keyValue(lines, i, lineKey, lineValue) >= 0 &&
            (key.isEmpty() ||
             (lineKey.compare(key, Qt::CaseInsensitive) == 0 &&
              (value.isEmpty() || lineValue.compare(value, Qt::CaseInsensitive) == 0)));
        if (!remove)
            kept << lines.at(i);
    }
    text = kept.join(QLatin1Char('\n'));
}
