#include "CFileIconCache.h"

#include <QFile>
#include <QTemporaryFile>

CFileIconCache::CFileIconCache()
    : m_defaultTypeName(QStringLiteral("FILE"))
{
    m_defaultIcon = m_iconProvider.icon(QFileIconProvider::File);
    m_probe.setCaching(false);
}

QString CFileIconCache::normalized(const QString &extension)
{
    return extension.toLower().trimmed();
}

int CFileIconCache::indexOf(const QString &normalizedExtension) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).extension == normalizedExtension)
            return i;
    }
    return -1;
}

int CFileIconCache::lookup(const QString &extension)
{
    const QString key = normalized(extension);
    if (key.isEmpty())
        return -1;
    const int index = indexOf(key);
    if (index >= 0)
        return index;
    return add(key) ? m_entries.size() - 1 : -1;
}

QIcon CFileIconCache::icon(const QString &extension)
{
    const int index = lookup(extension);
    return index < 0 ? m_defaultIcon : m_entries.at(index).icon;
}

QString CFileIconCache::typeName(const QString &extension)
{
    const int index = lookup(extension);
    return index < 0 ? m_defaultTypeName : m_entries.at(index).typeName;
}

bool CFileIconCache::add(const QString &extension)
{
    const QString key = normalized(extension);
    if (key.isEmpty() || indexOf(key) >= 0)
        return false;
    // Extensions come from archive entry names: one that could name another
    // folder must not move the probe file out of the temporary directory.
    if (key.contains(QLatin1Char('/')) || key.contains(QLatin1Char('\\')) || key.contains(QChar(0)))
        return false;

    QTemporaryFile file;
    if (!file.open())
        return false;
    // The probe is named with the normalised extension, the one it is cached under.
    const QString probeName = file.fileName() + QLatin1Char('.') + key;
    if (!file.rename(probeName)) {
        file.remove();
        return false;
    }
    file.close();

    bool added = false;
    m_probe.setFile(probeName);
    if (m_probe.exists()) {
        m_entries.append({key, m_iconProvider.icon(m_probe), m_iconProvider.type(m_probe)});
        added = true;
    }
    // Gone on every path, whatever QTemporaryFile makes of a renamed file.
    QFile::remove(probeName);
    return added;
}
