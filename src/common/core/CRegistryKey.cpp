#include "CRegistryKey.h"

#include "CSaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

namespace {
const char *const DwordPrefix = "dword:";
const char *const DefaultValueName = "@";
const char *const DefaultStoreName = "ostrel/registry.ini";
const char *const NewStoreHeader =
    "; Registry store: one section per key, \"name=value\" one a line, \"@\" the\n"
    "; default value, \"dword:\" and one to eight hex digits a 32-bit value.\n"
    "; Values are taken as written after the first \"=\".";

QString &storeFileOverride()
{
    static QString path;
    return path;
}

// One line of the store as the reader sees it.
struct StoreLine
{
    enum Kind
    {
        Other, // blank, comment, or text without "="
        Section,
        Value
    };
    Kind kind = Other;
    QString section; // normalised key path of a section line
    QString name;    // of a value line; empty for the default value
    QString value;
};

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// "ROOT\part\part": separators "\" and "/" alike, empty parts (doubled or
// leading separators) name nothing.
QString normalisedPath(const QString &path)
{
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    return path.split(separators, Qt::SkipEmptyParts).join(QLatin1Char('\\'));
}

QString sectionFor(CRegistryKey::Root root, const QString &path)
{
    const QString rootName = QString::fromLatin1(
        root == CRegistryKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_CLASSES_ROOT");
    const QString rest = normalisedPath(path);
    return rest.isEmpty() ? rootName : rootName + QLatin1Char('\\') + rest;
}

bool isQuoted(const QString &text)
{
    return text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'));
}

StoreLine parseLine(const QString &line)
{
    StoreLine parsed;
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) ||
        trimmed.startsWith(QLatin1Char('#')))
        return parsed;
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
        parsed.kind = StoreLine::Section;
        parsed.section = normalisedPath(trimmed.mid(1, trimmed.size() - 2));
        return parsed;
    }
    const int equals = trimmed.indexOf(QLatin1Char('='));
    if (equals < 0)
        return parsed;
    parsed.kind = StoreLine::Value;
    const QString name = trimmed.left(equals).trimmed();
    // An unquoted "@" is the default value; a quoted one is a value named "@".
    if (isQuoted(name))
        parsed.name = name.mid(1, name.size() - 2);
    else if (name != QLatin1String(DefaultValueName))
        parsed.name = name;
    parsed.value = trimmed.mid(equals + 1).trimmed();
    return parsed;
}

// The name as it is written, quoted where the bare name would read back as
// something else.
QString writtenName(const QString &name)
{
    if (name.isEmpty())
        return QString::fromLatin1(DefaultValueName);
    const bool needsQuotes = name == QLatin1String(DefaultValueName) || name != name.trimmed() ||
                             name.startsWith(QLatin1Char(';')) ||
                             name.startsWith(QLatin1Char('#')) ||
                             name.startsWith(QLatin1Char('[')) || isQuoted(name);
    return needsQuotes ? QLatin1Char('"') + name + QLatin1Char('"') : name;
}

bool sameText(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool readStore(QStringList *lines)
{
    QFile file(CRegistryKey::storeFile());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(file.readAll());
    *lines = text.split(QLatin1Char('\n'));
    for (QString &line : *lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    // The split leaves one empty piece after the file's last line break.
    if (!lines->isEmpty() && lines->last().isEmpty())
        lines->removeLast();
    return true;
}
} // namespace

QString CRegistryKey::storeFile()
{
    if (!storeFileOverride().isEmpty())
        return storeFileOverride();
    const QString fromEnvironment = qEnvironmentVariable(EnvironmentVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + QLatin1String(DefaultStoreName);
}

void CRegistryKey::setStoreFile(const QString &path)
{
    storeFileOverride() = path;
}

bool CRegistryKey::open(Root root, const QString &path, Access access)
{
    close();
    const QString section = sectionFor(root, path);
    QStringList lines;
    if (!readStore(&lines))
        return false;
    // The key itself or any key below it.
    const QString below = section + QLatin1Char('\\');
    bool exists = false;
    for (const QString &line : qAsConst(lines)) {
        const StoreLine parsed = parseLine(line);
        if (parsed.kind == StoreLine::Section &&
            (sameText(parsed.section, section) ||
             parsed.section.startsWith(below, Qt::CaseInsensitive))) {
            exists = true;
            break;
        }
    }
    if (!exists)
        return false;
    m_open = true;
    m_access = access;
    m_section = section;
    return true;
}

bool CRegistryKey::create(Root root, const QString &path)
{
    close();
    if (hasLineBreak(path))
        return false;
    m_open = true;
    m_access = ReadWrite;
    m_section = sectionFor(root, path);
    return true;
}

void CRegistryKey::close()
{
    m_open = false;
    m_access = ReadOnly;
    m_section.clear();
}

bool CRegistryKey::readRaw(const QString &name, QString *raw) const
{
    QStringList lines;
    if (!m_open || !readStore(&lines))
        return false;
    bool inKey = false;
    for (const QString &line : qAsConst(lines)) {
        const StoreLine parsed = parseLine(line);
        if (parsed.kind == StoreLine::Section) {
            inKey = sameText(parsed.section, m_section);
        } else if (inKey && parsed.kind == StoreLine::Value && sameText(parsed.name, name)) {
            *raw = parsed.value;
            return true;
        }
    }
    return false;
}

bool CRegistryKey::writeRaw(const QString &name, const QString &raw)
{
    if (!m_open || m_access != ReadWrite)
        return false;
    if (name.contains(QLatin1Char('=')) || hasLineBreak(name) || hasLineBreak(raw) ||
        raw != raw.trimmed())
        return false;
    const QString newLine = writtenName(name) + QLatin1Char('=') + raw;

    QStringList lines;
    if (!readStore(&lines))
        lines = QStringList{QString::fromLatin1(NewStoreHeader)};
    // Replace the value where it stands; else add it after the last line of
    // the key's first section; else add the section at the end.
    bool inKey = false;
    int keyEnd = -1;
    bool replaced = false;
    for (int i = 0; i < lines.size() && !replaced; ++i) {
        const StoreLine parsed = parseLine(lines.at(i));
        if (parsed.kind == StoreLine::Section) {
            if (inKey)
                break;
            inKey = sameText(parsed.section, m_section);
            if (inKey)
                keyEnd = i;
        } else if (inKey && parsed.kind == StoreLine::Value) {
            keyEnd = i;
            if (sameText(parsed.name, name)) {
                lines[i] = newLine;
                replaced = true;
            }
        }
    }
    if (!replaced && keyEnd >= 0) {
        lines.insert(keyEnd + 1, newLine);
    } else if (!replaced) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << QLatin1Char('[') + m_section + QLatin1Char(']') << newLine;
    }

    const QString path = storeFile();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return CSaveFile::writeAll(path, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

bool CRegistryKey::readString(const QString &name, QString *value) const
{
    QString raw;
    if (!readRaw(name, &raw) || raw.startsWith(QLatin1String(DwordPrefix)))
        return false;
    if (value)
        *value = raw;
    return true;
}

bool CRegistryKey::readDword(const QString &name, quint32 *value) const
{
    QString raw;
    if (!readRaw(name, &raw) || !raw.startsWith(QLatin1String(DwordPrefix)))
        return false;
    const QString digits = raw.mid(int(qstrlen(DwordPrefix)));
    // One to eight hex digits: a .reg export writes eight, a hand-edited store
    // may write fewer; anything longer would not fit the 32-bit value the
    // caller asked for. Nothing but digits: no sign, "0x" or blanks.
    if (digits.isEmpty() || digits.size() > 8)
        return false;
    quint32 number = 0;
    for (const QChar c : digits) {
        const ushort u = c.unicode();
        quint32 digit = 0;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        else
            return false;
        number = number * 16 + digit;
    }
    if (value)
        *value = number;
    return true;
}

bool CRegistryKey::writeString(const QString &name, const QString &value)
{
    // A text that happens to look like a 32-bit value cannot be stored
    // without changing its type on the next read.
    if (value.startsWith(QLatin1String(DwordPrefix)))
        return false;
    return writeRaw(name, value);
}

bool CRegistryKey::writeDword(const QString &name, quint32 value)
{
    return writeRaw(name, QLatin1String(DwordPrefix) +
                              QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')));
}
