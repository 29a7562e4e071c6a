#include "CEntity.h"

int CEntity::indexOf(const QString &key) const
{
    for (int i = 0; i < m_pairs.size(); ++i) {
        if (m_pairs[i].key == key)
            return i;
    }
    return -1;
}

CEntityKeyValue *CEntity::find(const QString &key)
{
    const int i = indexOf(key);
    return i < 0 ? nullptr : &m_pairs[i];
}

const CEntityKeyValue *CEntity::find(const QString &key) const
{
    const int i = indexOf(key);
    return i < 0 ? nullptr : &m_pairs[i];
}

QString CEntity::value(const QString &key) const
{
    const CEntityKeyValue *pair = find(key);
    return pair ? pair->value : QString();
}

bool CEntity::hasKey(const QString &key) const
{
    return indexOf(key) >= 0;
}

bool CEntity::hasValue(const QString &value) const
{
    for (const CEntityKeyValue &pair : m_pairs) {
        if (pair.value == value)
            return true;
    }
    return false;
}

bool CEntity::hasKeyValue(const QString &key, const QString &value) const
{
    const CEntityKeyValue *pair = find(key);
    return pair && pair->value == value;
}

void CEntity::setKeyValue(const QString &key, const QString &value)
{
    if (CEntityKeyValue *pair = find(key))
        pair->value = value;
    else
        m_pairs.append({key, value});
}

void CEntity::insertKeyValue(const QString &key, const QString &value, int index)
{
    if (index == -1 || index > m_pairs.size())
        index = m_pairs.size();
    else if (index < 0)
        index = 0;
    m_pairs.insert(index, {key, value});
}

void CEntity::removeKey(const QString &key)
{
    const int i = indexOf(key);
    if (i >= 0)
        m_pairs.remove(i);
}

QString CEntity::label() const
{
    QString text = value(QStringLiteral("classname"));
    const QString target = value(QStringLiteral("targetname"));
    if (!target.isEmpty())
        text += QStringLiteral(" (") + target + QLatin1Char(')');
    return text;
}
