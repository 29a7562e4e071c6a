#pragma once

#include "CDirectoryListings.h"

#include <QHash>
#include <QString>
#include <QStringList>

// The asset paths one content scan has found, in the order of discovery,
// shared by every scanner of the scan. Paths are relative to the game folder
// and use "/". A path is added only when no entry equal to it without regard
// to case is there yet, and a file is followed only right after its path was
// newly added, so every file is scanned at most once per list.
//
// Lookups go through a folded-case index, so a scan stays linear in the
// number of paths it finds. The list also keeps the game folder's listings
// for the scan's resolves (see CDirectoryListings): a list serves one scan.
class CScanFoundList
{
public:
    // Appends the path unless an entry equal to it without regard to case is
    // there; true when it was appended.
    bool add(const QString &path);
    // Appends the path unless an entry equal to it with regard to case is
    // there (the map-specific phase of the content scan compares that way).
    bool addExact(const QString &path);
    bool contains(const QString &path, Qt::CaseSensitivity cs = Qt::CaseInsensitive) const;
    // Takes the last entry out again (a particle file that did not read).
    void removeLast();

    const QStringList &paths() const { return m_paths; }
    int size() const { return m_paths.size(); }
    bool isEmpty() const { return m_paths.isEmpty(); }
    const QString &at(int i) const { return m_paths.at(i); }
    const QString &last() const { return m_paths.last(); }

    // The folder listings of this scan; a cache, so also of a const list.
    CDirectoryListings &listings() const { return m_listings; }
    // Frees the listings once the scan is over.
    void dropListings() { m_listings = CDirectoryListings(); }

    // How many followed files are being scanned inside one another right now.
    // Every scanner that follows a file holds a Nesting while it does, and
    // stops following beyond MaxNesting, so that a long chain of files that
    // name each other cannot exhaust the stack.
    static constexpr int MaxNesting = 64;
    class Nesting
    {
    public:
        explicit Nesting(CScanFoundList &list)
            : m_list(list)
        {
            ++m_list.m_nesting;
        }
        ~Nesting() { --m_list.m_nesting; }
        Nesting(const Nesting &) = delete;
        Nesting &operator=(const Nesting &) = delete;
        // False once the chain is deeper than MaxNesting.
        bool allowed() const { return m_list.m_nesting <= MaxNesting; }

    private:
        CScanFoundList &m_list;
    };

private:
    void append(const QString &path);

    QStringList m_paths;
    // Number of entries per folded and per exact spelling; addExact may keep
    // two entries that differ only in case.
    QHash<QString, int> m_folded;
    QHash<QString, int> m_exact;
    int m_nesting = 0;
    mutable CDirectoryListings m_listings;
};
