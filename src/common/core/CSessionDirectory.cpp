#include "CSessionDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {
QTemporaryDir *sessionDirectory()
{
    // QTemporaryDir creates the folder with owner-only permissions and
    // removes it when the static is destroyed at exit.
    static const QString folder = CSessionDirectory::temporaryFolder();
    if (folder.isEmpty())
        return nullptr;
    static QTemporaryDir directory(folder + QStringLiteral("/ostrel-XXXXXX"));
    return directory.isValid() ? &directory : nullptr;
}
} // namespace

QString CSessionDirectory::path()
{
    const QTemporaryDir *directory = sessionDirectory();
    return directory ? directory->path() : QString();
}

QString CSessionDirectory::filePath(const QString &name)
{
    const QString folder = path();
    if (folder.isEmpty())
        return QString();
    // Package names use "\" and "/" alike.
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    const QString last = name.split(separators).last();
    if (last.isEmpty() || last == QLatin1String(".") || last == QLatin1String("..") ||
        last.contains(QChar(0)))
        return QString();
    return folder + QLatin1Char('/') + last;
}

QString CSessionDirectory::temporaryFolder()
{
    const QString temp = QDir::tempPath();
    if (!temp.isEmpty() && QFileInfo(temp).isDir())
        return temp;
#ifdef Q_OS_UNIX
    const QString system = QStringLiteral("/tmp");
    if (QFileInfo(system).isDir())
        return system;
#endif
    return QString();
}
