#include "CDirectoryListings.h"

#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

const CDirectoryListings::Listing &CDirectoryListings::listing(const QString &folder)
{
    auto it = m_listings.find(folder);
    if (it != m_listings.end())
        return *it;
    // The kinds come from the listing itself: no look at each entry (a game
    // folder holds thousands), only readability is asked later, of the few
    // names that match.
    Listing entries;
    QDirIterator names(folder, QDir::Dirs | QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot |
                                   QDir::Hidden);
    while (names.hasNext()) {
        names.next();
        const QFileInfo info = names.fileInfo();
        Entry entry;
        entry.name = info.fileName();
        entry.isDir = info.isDir();
        entries[entry.name.toCaseFolded()].append(entry);
    }
    return *m_listings.insert(folder, entries);
}

QVector<CDirectoryListings::Entry> CDirectoryListings::matches(const QString &folder,
                                                               const QString &name)
{
    const Listing &entries = listing(folder);
    QVector<Entry> found = entries.value(name.toCaseFolded());
    // Folding is the index only; the comparison the single look-up makes has
    // the last word.
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&name](const Entry &entry) {
                                   return entry.name.compare(name, Qt::CaseInsensitive) != 0;
                               }),
                found.end());
    return found;
}
