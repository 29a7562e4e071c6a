#include "CPackageExtraction.h"

#include "CHierarchyNode.h"
#include "functions.h"

#include <QFileInfo>

namespace {

// Characters some file system refuses in a name, and the separators.
bool isRefusedCharacter(QChar c)
{
    return c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c);
}

} // namespace

bool CPackageExtraction::isSafeName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

QString CPackageExtraction::outputFolder(const QString &chosen)
{
    return trimmedPath(chosen);
}

int CPackageExtraction::workTotal(const CHierarchyNode *node)
{
    if (!node)
        return 0;
    return node->isLeaf() ? 1 : node->descendantCount() + 1;
}

QString CPackageExtraction::uniqueFilePath(const QString &folder, const QString &entryName)
{
    if (folder.isEmpty())
        return QString();
    QString name = entryName.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    for (QChar &c : name) {
        if (isRefusedCharacter(c))
            c = QLatin1Char('_');
    }
    name = name.trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("entry");

    // The counter goes before the extension so the desktop still recognises
    // the type.
    const int dot = name.indexOf(QLatin1Char('.'), 1);
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString suffix = dot > 0 ? name.mid(dot) : QString();
    QString candidate = folder + QLatin1Char('/') + name;
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = folder + QLatin1Char('/') + stem + QStringLiteral(" (%1)").arg(n) + suffix;
    return candidate;
}
