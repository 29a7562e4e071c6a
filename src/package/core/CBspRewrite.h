#pragma once

#include "BspRecords.h"
#include "CDelegateBSP.h"
#include "DurableFile.h"

#include <QFile>
#include <QString>
#include <QVector>

class CPackageHierarchyNode;
class FlushSyncronizer;
class SaveLock;

// One pakfile file of a map being rewritten.
struct CBspRewriteEntry
{
    // Null for a record set aside at open, which is copied as it was.
    CPackageHierarchyNode *node = nullptr;
    // Entry index of the stored record the file starts from, or -1.
    int index = -1;
    // The directory record as written (the old one, updated, for a file that
    // had stored data).
    CZipCentralDirectoryHeader record;
    // The node's path when the file is written under another name (its
    // record's own), which the record keeps as the path the tree shows.
    QString treePath;
    // Absolute position of the file's data in the new map.
    quint32 dataOffset = 0;
    // Copied as it lay (compressed or encrypted): old CRC and sizes kept.
    bool raw = false;
    // A record whose two headers disagree: each is written back as read,
    // the directory entry from `record`, the local header from this.
    bool keepLocal = false;
    CZipLocalFileHeader local;
};

// Writes a complete new map for a delegate into a temporary file, a new file
// under a name of its own beside the file the map's name links to, if it
// does (no two saves share it): the lumps in the
// order of their old offsets, packed from the end of the header on, each from
// its pending bytes, its local file or its stored bytes, then the pakfile
// rebuilt as a zip of stored files, and the header last. The delegate is not
// changed; after run() succeeds it takes the new records from here.
class CBspRewrite
{
public:
    // `lock` guards the save and holds the temporary file from its making on.
    CBspRewrite(CDelegateBSP &map, FlushSyncronizer *syncronizer, SaveLock &lock);
    // Discards the temporary file unless it was kept.
    ~CBspRewrite();

    CBspRewrite(const CBspRewrite &) = delete;
    CBspRewrite &operator=(const CBspRewrite &) = delete;

    // Everything up to and including the header; the temporary file is closed
    // afterwards and must open as a map. False with message() on the first
    // failure.
    bool run();
    const QString &message() const { return m_message; }

    // The file the map is saved to: the one its name links to, if it does.
    const QString &targetName() const { return m_target; }
    QString temporaryName() const { return m_temp.fileName(); }
    // The temporary file as made: only that file may take the map's name.
    const DurableFile::FileId &temporaryId() const { return m_tempId; }
    // The temporary file took the map's name, or is the only copy of the new
    // map: it must not be removed.
    void keepTemporary() { m_keepTemporary = true; }
    // Failure exit: closes the temporary file and removes it while it still
    // carries its temporary name (and the name this file).
    void discard();

    const CBspLump &lump(int index) const { return m_lumps[index]; }
    const QVector<CBspRewriteEntry> &entries() const { return m_entries; }
    // Lump 40 had pending data and was written as it stands.
    bool pakfileWrittenWhole() const { return m_pakfileWhole; }
    quint32 directorySize() const { return m_directorySize; }
    quint32 directoryOffset() const { return m_directoryOffset; }

private:
    using Step = CDelegateBSP::FlushStep;

    // Refuses what cannot be written: a map cut short, pakfile edits beside a
    // whole new lump 40, names that are not Latin-1.
    bool collectFiles();
    // Moves each record set aside at open that, where it stands, would take
    // a path from a file of the tree when the new map is opened, to just
    // before or after that file.
    void placeSetAsideRecords();
    bool checkLimits();
    // Bytes the entry's data takes in the new pakfile.
    qint64 dataSize(const CBspRewriteEntry &entry) const;
    // The name messages give the entry.
    QString entryPath(const CBspRewriteEntry &entry) const;
    bool openTemporary();
    bool writeLumps();
    bool writeLump(int lump);
    // Staged lump-35 bytes count game-lump offsets from their own first
    // byte; in the map they are absolute.
    bool writeStagedGameLumps();
    bool writePakfile();
    bool stageFile(int k, QByteArray &data);
    // A stored pakfile file through m_window; false (nothing said) when it
    // does not fit one or cannot be read so, and must be read on its own.
    bool readThroughWindow(int index, QByteArray &data);
    bool stageReference(const CBspRewriteEntry &entry, int k, QByteArray &data);
    bool writeLocalEntry(int k, const QByteArray &data, qint64 pakStart);
    bool writeCentralDirectory();
    bool writeEndRecord(qint64 pakStart, qint64 directoryStart);
    bool writeHeader();
    bool finishTemporary();
    // Opens the finished temporary file as a map, read-only.
    bool readBack();

    // Starts the disk writing what was written since the last call, once
    // enough has gathered, so that the final sync finds little left to do.
    void writeback();

    bool fault(Step step, int item) const { return m_map.flushFault(step, item); }
    bool failWith(const QString &message);
    void processed();

    CDelegateBSP &m_map;
    FlushSyncronizer *m_syncronizer;
    SaveLock &m_lock;
    QString m_target;
    QFile m_temp;
    DurableFile::FileId m_tempId;
    bool m_created = false;
    bool m_keepTemporary = false;
    qint64 m_writtenBack = 0;
    QByteArray m_window;
    qint64 m_windowStart = -1;
    CBspLump m_lumps[BspFormat::LumpCount];
    QVector<CBspRewriteEntry> m_entries;
    bool m_pakfileWhole = false;
    quint32 m_directorySize = 0;
    quint32 m_directoryOffset = 0;
    QString m_message;
};
