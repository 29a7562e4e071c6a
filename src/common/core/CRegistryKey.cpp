#include "CRegistryKey.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <memory>

namespace {
const char *const DwordPrefix = "dword:";
const char *const DefaultValueName = "@";
const char *const DefaultStoreName = "ostrel/registry.ini";

QString &storeFileOverride()
{
    static QString path;
    return path;
}

// QSettings reads "/" and "\" inside a name as group separators; a registry
// name may hold either, so they are escaped before QSettings sees them.
QString escapedName(const QString &name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('%'), QLatin1String("%25"));
    escaped.replace(QLatin1Char('/'), QLatin1String("%2F"));
    escaped.replace(QLatin1Char('\\'), QLatin1String("%5C"));
    return escaped;
}

QString groupFor(CRegistryKey::Root root, const QString &path)
{
    QStringList parts;
    parts << QString::fromLatin1(root == CRegistryKey::CurrentUser ? "HKEY_CURRENT_USER"
                                                                   : "HKEY_CLASSES_ROOT");
    // Registry paths use "\"; "/" is accepted too. Empty parts (doubled or
    // leading separators) name nothing.
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    const QStringList pieces = path.split(separators, Qt::SkipEmptyParts);
    for (const QString &piece : pieces)
        parts << escapedName(piece);
    return parts.join(QLatin1Char('/'));
}

QString valueKey(const QString &name)
{
    return name.isEmpty() ? QString::fromLatin1(DefaultValueName) : escapedName(name);
}

std::unique_ptr<QSettings> openStore()
{
    auto settings = std::make_unique<QSettings>(CRegistryKey::storeFile(), QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
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
    const QString group = groupFor(root, path);
    auto store = openStore();
    store->beginGroup(group);
    const bool exists = !store->childKeys().isEmpty() || !store->childGroups().isEmpty();
    store->endGroup();
    if (!exists)
        return false;
    m_open = true;
    m_access = access;
    m_group = group;
    return true;
}

bool CRegistryKey::create(Root root, const QString &path)
{
    close();
    m_open = true;
    m_access = ReadWrite;
    m_group = groupFor(root, path);
    return true;
}

void CRegistryKey::close()
{
    m_open = false;
    m_access = ReadOnly;
    m_group.clear();
}

bool CRegistryKey::readRaw(const QString &name, QString *raw) const
{
    if (!m_open)
        return false;
    auto store = openStore();
    const QString key = m_group + QLatin1Char('/') + valueKey(name);
    if (!store->contains(key))
        return false;
    const QVariant value = store->value(key);
    // A hand-edited file may hold a list ("a, b"); that is no registry value.
    if (value.type() != QVariant::String)
        return false;
    *raw = value.toString();
    return true;
}

bool CRegistryKey::writeRaw(const QString &name, const QString &raw)
{
    if (!m_open || m_access != ReadWrite)
        return false;
    const QFileInfo file(storeFile());
    if (!QDir().mkpath(file.absolutePath()))
        return false;
    auto store = openStore();
    const QString key = m_group + QLatin1Char('/') + valueKey(name);
    const bool existed = store->contains(key);
    const QVariant previous = store->value(key);
    store->setValue(key, raw);
    store->sync();
    if (store->status() == QSettings::NoError)
        return true;
    // QSettings keeps an unsaved change in its per-process cache of the file:
    // later reads would see it and the next successful write would save it.
    // Put the old state back so that a failed write changes nothing.
    if (existed)
        store->setValue(key, previous);
    else
        store->remove(key);
    return false;
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
    // Exactly eight hex digits, as a .reg export writes them: anything longer
    // would not fit the 32-bit value the caller asked for.
    if (digits.size() != 8)
        return false;
    bool ok = false;
    const quint32 number = digits.toUInt(&ok, 16);
    if (!ok)
        return false;
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
