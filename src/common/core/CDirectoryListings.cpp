#include "CDirectoryListings.h"

#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

CDirectoryListings::Listing &CDirectoryListings::listing(const QString &folder)
{
    auto it = m_listings.find(folder);
    if (it != m_listings.end())
        return *it;
    // The kinds come from the listing itself: no look at each entry (a game
    // folder holds thousands); readability is asked only of names that match.
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
    Listing &entries = listing(folder);
    const auto bucket = entries.find(name.toCaseFolded());
    QVector<Entry> found;
    if (bucket == entries.end())
        return found;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (Entry &entry : *bucket) {
        // Folding is the index only; the comparison the single look-up makes
        // has the last word.
        if (entry.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (entry.readable < 0)
            entry.readable = QFileInfo(prefix + entry.name).isReadable() ? 1 : 0;
        found.append(entry);
    }
    return found;
}
