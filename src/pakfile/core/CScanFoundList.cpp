#include "CScanFoundList.h"

bool CScanFoundList::add(const QString &path)
{
    if (contains(path, Qt::CaseInsensitive))
        return false;
    append(path);
    return true;
}

bool CScanFoundList::addExact(const QString &path)
{
    if (contains(path, Qt::CaseSensitive))
        return false;
    append(path);
    return true;
}

bool CScanFoundList::contains(const QString &path, Qt::CaseSensitivity cs) const
{
    if (cs == Qt::CaseSensitive)
        return m_exact.contains(path);
    return m_folded.contains(path.toCaseFolded());
}

void CScanFoundList::append(const QString &path)
{
    m_paths.append(path);
    ++m_folded[path.toCaseFolded()];
    ++m_exact[path];
}

void CScanFoundList::removeLast()
{
    if (m_paths.isEmpty())
        return;
    const QString path = m_paths.takeLast();
    const auto drop = [](QHash<QString, int> &index, const QString &key) {
        auto it = index.find(key);
        if (it != index.end() && --it.value() <= 0)
            index.erase(it);
    };
    drop(m_folded, path.toCaseFolded());
    drop(m_exact, path);
}
