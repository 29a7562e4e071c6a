#include "ScanDirectory.h"

#include "CScanRecord.h"
#include "ScanPath.h"
#include "functions.h"

#include <QFile>

namespace ScanDirectory {

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// Splits off the root an absolute path keeps and upper-cases a drive letter;
// `clean` tidies the rest.
QString withRoot(const QString &text, void (*clean)(QString &))
{
    QString rest = text.trimmed();
    QString root;
    if (rest.size() >= 2 && isSeparator(rest.at(0)) && isSeparator(rest.at(1)))
        root = QStringLiteral("//");
    else if (rest.startsWith(QLatin1Char('/')))
        root = QStringLiteral("/");
    else if (rest.size() >= 2 && rest.at(1) == QLatin1Char(':') && rest.at(0).isLetter())
        rest[0] = rest.at(0).toUpper();
    while (!root.isEmpty() && !rest.isEmpty() && isSeparator(rest.at(0)))
        rest.remove(0, 1);
    clean(rest);
    return root + rest;
}

void trimAndCollapse(QString &path)
{
    trimPath(path);
    collapseSeparators(path);
    // trimPath leaves a text of one character alone.
    if (path.size() == 1 && (isSeparator(path.at(0)) || path.at(0) == QLatin1Char('|')))
        path.clear();
}

void normalize(QString &path)
{
    normalizePath(path);
    if (path == QLatin1String("/"))
        path.clear();
}

} // namespace

QString fromProject(const QByteArray &vproject)
{
    return withRoot(QFile::decodeName(vproject), trimAndCollapse);
}

QString fromEnvironment()
{
    return fromProject(qgetenv("VPROJECT"));
}

QString base(const QString &field)
{
    if (field.trimmed().isEmpty())
        return QString();
    const QString folder = withRoot(field, normalize);
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString entryPath(const QString &pathCell, const QString &name)
{
    QString folder = pathCell;
    while (folder.startsWith(QLatin1Char('/')))
        folder.remove(0, 1);
    const QString path = folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
    return ScanPath::isFollowable(path) ? path : QString();
}

} // namespace ScanDirectory
