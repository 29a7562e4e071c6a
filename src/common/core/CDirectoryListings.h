#pragma once

#include <QHash>
#include <QString>
#include <QVector>

// Folder listings kept for a batch of CPath::resolve calls (one content scan):
// each folder is read from the disk once, and every later look-up of a name in
// it is a hash look-up. A batch keeps its own object; files that appear or
// vanish while it runs may go unnoticed, so an object is never kept beyond
// the batch that made it.
class CDirectoryListings
{
public:
    // An entry that CPath::resolve may take for a level: no symbolic link, a
    // regular file or a folder.
    struct Entry
    {
        QString name;
        bool isDir = false;
        // Asked of the disk on the first look-up that matches the entry: 1
        // readable, 0 not, -1 not asked yet.
        qint8 readable = -1;
    };

    // The entries of `folder` (an absolute path) whose names equal `name`
    // without regard to case, in no particular order, readability known. The
    // folder is listed on the first look-up; one that cannot be listed has no
    // entries.
    QVector<Entry> matches(const QString &folder, const QString &name);

    // How many folders were read from the disk so far.
    int listingCount() const { return m_listings.size(); }

private:
    using Listing = QHash<QString, QVector<Entry>>; // by case-folded name
    Listing &listing(const QString &folder);

    QHash<QString, Listing> m_listings;
};
