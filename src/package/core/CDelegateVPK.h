#pragma once

#include "IPackageDelegate.h"

#include <QHash>
#include <QVector>

#include <memory>
#include <vector>

class CVPKDirectoryEntry;
class CVPKTreeReader;

// Package delegate for VPK packages: a directory file listing every file by
// extension, folder and name (with optional preload bytes) and numbered archive
// files "<base>_000.vpk", "<base>_001.vpk", ... beside it holding the data.
// Entry index i is entry i of entries(). Read-only: flush() fails.
class CDelegateVPK : public IPackageDelegate
{
    Q_OBJECT

public:
    static constexpr quint32 Signature = 0x55AA1234;
    static constexpr qint64 HeaderSizeV1 = 12;
    static constexpr qint64 HeaderSizeV2 = 28;

    explicit CDelegateVPK(QObject *parent = nullptr);
    ~CDelegateVPK() override;

    using IPackageDelegate::sizeOnDisk;
    using IPackageDelegate::storedSize;
    using IPackageDelegate::writeStored;

    // Always read-only, whatever readOnly says. A directory cut short keeps the
    // entries read before the cut: open() succeeds, lastError() holds the read
    // error and isComplete() is false. A file without the signature is refused
    // unless its tree gives a whole record.
    bool open(const QString &path, bool readOnly) override;
    void close() override;
    // The directory file, also while reads have the file pointed at an archive.
    QString fileName() const override;
    int type() const override { return 4; }
    bool flush(FlushSyncronizer *syncronizer) override;
    bool hasFile(int index) const override;
    int storedSize(int index) const override;
    int sizeOnDisk(int index) const override;
    bool writeStored(QIODevice *device, int index) override;
    bool buildHierarchy() override;

    const QVector<CVPKDirectoryEntry *> &entries() const { return m_entries; }
    bool hasSignature() const { return m_hasSignature; }
    bool isMultiArchive() const { return m_isMultiArchive; }
    const QString &archiveBase() const { return m_archiveBase; }
    quint32 signature() const { return m_signature; }
    quint32 version() const { return m_version; }
    quint32 treeSize() const { return m_treeSize; }
    // The four further values of a version-2 header (index 0 to 3).
    quint32 headerExtra(int index) const;
    // False when the last open() stopped at a tree or record cut short.
    bool isComplete() const { return m_complete; }
    // Entries left out of the tree, with a warning, because their path
    // cannot be a file name ("", "." or ".." components), is deeper than
    // MaxTreeDepth, is longer than MaxPathLength or clashes with a folder;
    // their node table slots are empty.
    int setAsideCount() const { return m_setAside; }
    // Path of the data file of an archive index as the name is built
    // ("<base>_012.vpk"); empty when the directory name has no "_dir.vpk".
    QString archivePath(int archiveIndex) const;

signals:
    // Information for the user, shown by a viewer in a box titled `title`
    // (the "Footer Length" of a version-2 directory). Emitted during open();
    // nothing waits for an answer.
    void notice(const QString &title, const QString &text);

private:
    void readTree(CVPKTreeReader &tree);
    CVPKDirectoryEntry *newEntry();
    void clearEntries();
    // The data file on disk: an archive's name is matched without regard to
    // case inside the directory file's folder.
    QString dataFilePath(const CVPKDirectoryEntry &entry);
    bool copyData(QIODevice *device, qint64 start, qint64 length);

    QString m_openedPath;
    QString m_archiveBase;
    bool m_hasSignature = false;
    bool m_isMultiArchive = false;
    quint32 m_signature = 0;
    quint32 m_version = 0;
    quint32 m_treeSize = 0;
    quint32 m_headerExtra[4] = {0, 0, 0, 0};
    // Points into m_entryBlocks, which own the entries.
    QVector<CVPKDirectoryEntry *> m_entries;
    std::vector<std::unique_ptr<CVPKDirectoryEntry[]>> m_entryBlocks;
    int m_blockUsed = 0;
    // Where data stored in the directory file starts.
    qint64 m_dataStart = 0;
    bool m_complete = true;
    int m_setAside = 0;
    // Heads of the first few paths too long to keep, by entry index, for the
    // warning that names them.
    QHash<int, QString> m_longPaths;
    // Archive index -> archive file found on disk.
    QHash<int, QString> m_resolvedArchives;
};
