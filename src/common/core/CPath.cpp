#include "CPath.h"

#include "CDirectoryListings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {

// Hidden is included so that dot-files resolve like any other name (it only
// widens the listing on platforms where "hidden" is a name prefix). Readable
// is not a filter: it would cost a look at every entry of a folder, so only
// the names that match are asked.
constexpr QDir::Filters LevelFilter = QDir::NoSymLinks | QDir::NoDotAndDotDot | QDir::Hidden;

// True when every level exists with exactly this spelling and would be listed
// by the case-insensitive walk: no symbolic link, readable, folders then a
// file (or only folders).
bool existsAsSpelled(const QString &start, const QStringList &levels, bool hasFile)
{
    QString probe = start;
    for (int i = 0; i < levels.size(); ++i) {
        const QString &level = levels.at(i);
        if (level == QLatin1String(".") || level == QLatin1String(".."))
            return false;
        if (!probe.endsWith(QLatin1Char('/')))
            probe += QLatin1Char('/');
        probe += level;
        const QFileInfo info(probe);
        const bool fileLevel = hasFile && i == levels.size() - 1;
        if (info.isSymLink() || !info.isReadable() || (fileLevel ? !info.isFile() : !info.isDir()))
            return false;
    }
    return true;
}

QString childPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The names in `folder` that the walk may take for `level`: equal to it
// without regard to case, of the level's kind and readable.
QStringList candidates(const QString &folder, const QString &level, bool fileLevel,
                       CDirectoryListings *listings)
{
    QStringList names;
    if (listings) {
        for (const CDirectoryListings::Entry &entry : listings->matches(folder, level)) {
            if (entry.isDir != fileLevel && entry.readable == 1)
                names.append(entry.name);
        }
        return names;
    }
    const QStringList entries =
        QDir(folder).entryList((fileLevel ? QDir::Files : QDir::Dirs) | LevelFilter, QDir::NoSort);
    for (const QString &entry : entries) {
        if (entry.compare(level, Qt::CaseInsensitive) == 0 &&
            QFileInfo(childPath(folder, entry)).isReadable())
            names.append(entry);
    }
    return names;
}

} // namespace

CPath::CPath(const QString &path, bool isFile)
{
    setPath(path, isFile);
}

QString CPath::normalizeSeparators(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[\\\\|/]+"));
    QString result = text;
    result.replace(separators, QStringLiteral("/"));
    return result;
}

void CPath::setPath(const QString &path, bool isFile)
{
    const QString text = normalizeSeparators(path);
    if (text.endsWith(QLatin1Char('/'))) {
        m_directory = text.size() >= 2 ? text.left(text.size() - 1) : text;
        return;
    }
    if (!isFile) {
        m_directory = text;
        return;
    }
    const int slash = text.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        setFileName(text);
        return;
    }
    m_directory = text.left(slash);
    setFileName(text.mid(slash + 1));
}

void CPath::setFileName(const QString &name)
{
    QString text = normalizeSeparators(name);
    const int slash = text.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        text = text.mid(slash + 1);

    const int dot = text.indexOf(QLatin1Char('.'), 1);
    if (dot < 0) {
        // A name without extension must not keep the previous one, or a save
        // would write to a file the user did not choose.
        m_baseName = text;
        m_extension.clear();
        m_lastExtension.clear();
        return;
    }
    m_baseName = text.left(dot);
    setExtension(text.mid(dot + 1));
}

void CPath::setExtension(const QString &extension)
{
    if (m_baseName.isEmpty())
        return;
    m_extension = extension;
    const int dot = extension.lastIndexOf(QLatin1Char('.'));
    m_lastExtension = dot < 0 ? extension : extension.mid(dot + 1);
}

void CPath::setLastExtension(const QString &lastExtension)
{
    m_extension.chop(qMin(m_lastExtension.size(), m_extension.size()));
    m_lastExtension = lastExtension;
    m_extension.append(lastExtension);
}

QString CPath::toString() const
{
    QString result;
    if (!m_directory.isEmpty()) {
        result += m_directory;
        if (!m_baseName.isEmpty())
            result += QLatin1Char('/');
    }
    if (!m_baseName.isEmpty()) {
        result += m_baseName;
        if (!m_extension.isEmpty())
            result += QLatin1Char('.') + m_extension;
    }
    return result;
}

QString CPath::directory(bool trailingSlash) const
{
    if (m_directory.isEmpty())
        return QString();
    if (trailingSlash && m_directory != QLatin1String("/"))
        return m_directory + QLatin1Char('/');
    return m_directory;
}

QString CPath::fileName(bool withExtension) const
{
    if (m_baseName.isEmpty())
        return QString();
    if (!withExtension)
        return m_baseName;
    return m_baseName + QLatin1Char('.') + m_extension;
}

QString CPath::fileNameWithoutLastExtension() const
{
    if (m_baseName.isEmpty() || m_extension.size() <= m_lastExtension.size())
        return fileName(false);
    return fileName(true).chopped(m_lastExtension.size() + 1);
}

bool CPath::isEmpty() const
{
    return m_directory.isEmpty() && m_baseName.isEmpty() && m_extension.isEmpty() &&
           m_lastExtension.isEmpty();
}

bool CPath::operator==(const CPath &other) const
{
    return m_directory == other.m_directory && m_baseName == other.m_baseName &&
           m_extension == other.m_extension && m_lastExtension == other.m_lastExtension;
}

CPath CPath::resolve(const QString &base, bool absolute) const
{
    return resolveIn(base, absolute, nullptr);
}

CPath CPath::resolve(const QString &base, bool absolute, CDirectoryListings &listings) const
{
    return resolveIn(base, absolute, &listings);
}

CPath CPath::resolveIn(const QString &base, bool absolute, CDirectoryListings *listings) const
{
    QDir dir;
    if (base.isEmpty()) {
        dir = QDir::isAbsolutePath(m_directory) ? QDir::root() : QDir::current();
    } else {
        // A relative base is taken from the current directory.
        const QFileInfo info(QDir::current(), base);
        if (!info.exists() || !info.isDir())
            return CPath();
        dir = QDir(info.absoluteFilePath());
    }
    const QString start = dir.absolutePath();

    QStringList levels =
        normalizeSeparators(m_directory).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const bool hasFile = !m_baseName.isEmpty();
    if (hasFile) {
        // A file without extension is matched by its bare name.
        levels.append(m_extension.isEmpty() ? m_baseName : fileName(true));
    }
    if (levels.isEmpty())
        return CPath();

    // An exact match wins at every level, so when the path exists as spelled
    // the walk below would take it: one look per level instead of listing
    // every folder (game folders hold thousands of files). With listings at
    // hand the walk costs no look at the disk at all.
    if (!listings && existsAsSpelled(start, levels, hasFile)) {
        const QString spelled = levels.join(QLatin1Char('/'));
        if (!absolute)
            return CPath(spelled, false);
        return CPath(childPath(start, spelled), false);
    }

    QString result;
    QString folder = start;
    for (int i = 0; i < levels.size(); ++i) {
        const QString &level = levels.at(i);
        if (level == QLatin1String(".") || level == QLatin1String(".."))
            return CPath();
        const bool fileLevel = hasFile && i == levels.size() - 1;
        const QStringList names = candidates(folder, level, fileLevel, listings);
        if (names.isEmpty())
            return CPath();
        QString taken = names.contains(level) ? level : names.first();
        if (names.size() > 1 && taken != level)
            return CPath();

        result += taken + QLatin1Char('/');
        folder = childPath(folder, taken);
    }

    result.chop(1);
    if (absolute)
        result = childPath(start, result);
    return CPath(result, false);
}
