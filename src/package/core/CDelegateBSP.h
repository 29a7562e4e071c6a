#pragma once

#include "BspRecords.h"
#include "IPackageDelegate.h"

#include <QStringList>
#include <QVector>

class CBinaryReader;
class CBspRewrite;

// Name of a lump for an internal map version (19 to 22): "Unused" for a slot
// without a name in that version, "Unknown" outside 0 to 63.
QString bspLumpName(int version, int lump);

// Package delegate for compiled maps (".bsp"). Presents the 64 lumps as files
// of a folder "lumps" (entry index = lump number) and the files of the
// pakfile, the stored zip in lump 40, under their own paths (entry index 64 +
// record position). The only delegate whose flush() writes the package back.
//
// Staged lumps: bytes given to lump 35 hold their game-lump offsets counted
// from the lump's own first byte, exactly as writeStored(device, 35) gives
// them at position 0; the flush makes them absolute for the lump's new place
// (a map whose offsets are relative keeps them relative). Bytes given to lump
// 40 replace the whole pakfile and cannot be flushed together with edits of
// its files; after the flush the new archive is the stored pakfile.
class CDelegateBSP : public IPackageDelegate
{
    Q_OBJECT
    friend class CBspRewrite;

public:
    explicit CDelegateBSP(QObject *parent = nullptr);
    ~CDelegateBSP() override;

    using IPackageDelegate::addFile;
    using IPackageDelegate::sizeOnDisk;
    using IPackageDelegate::storedSize;
    using IPackageDelegate::writeStored;

    // Opening for writing never creates the map. Lumps that run past the end
    // of the file are cut at it, with a warning; such a map cannot be flushed.
    bool open(const QString &path, bool readOnly) override;
    void close() override;
    int type() const override { return 1; }
    // Rewrites the whole map with every pending edit.
    bool flush(FlushSyncronizer *syncronizer) override;
    bool hasFile(int index) const override;
    // A pakfile file's size is that of its file, also when it is compressed.
    int storedSize(int index) const override;
    int sizeOnDisk(int index) const override;
    bool writeStored(QIODevice *device, int index) override;
    bool buildHierarchy() override;
    // Pakfile paths are written as Latin-1: a name with other characters is
    // refused, since it would be written as "?" and collide with others.
    CPackageHierarchyNode *addFile(const QByteArray &data, bool isReference,
                                   const QString &path) override;
    // Lumps and their folder have fixed names; pakfile names must be Latin-1
    // and, like a sibling's, a set-aside record's name is taken.
    bool rename(CPackageHierarchyNode *node, const QString &name) override;

    // Field 1 offset, 2 length, 3 version, 4 four-character code (b0 in the
    // top byte); 0 for other fields or lumps outside 0 to 63.
    int lumpInfo(int lump, int field) const;
    // Also decides whether the directory's offsets are absolute (the usual
    // case) or count from lump 35's first byte, as some builds write them.
    bool readGameLumps();
    bool gameLumpOffsetsRelative() const { return m_gameLumpsRelative; }
    // Position of the first game lump with this id, or -1.
    int gameLumpIndex(int id) const;
    QVector<QByteArray> staticPropModelNames() const;
    QVector<QByteArray> entityLines();
    QVector<QByteArray> texdataStrings();
    // Stages the strings, each NUL-ended, as lump 43's new bytes, and lump 44
    // (the offset of each texture name in lump 43) to match: every offset
    // follows the string it pointed into; strings past the old ones get new
    // entries at the end. Fails when the table names a string the list lacks.
    bool setTexdataStrings(const QVector<QByteArray> &strings);

    // Game-lump records at the start of `lump` (lump 35's bytes, at least its
    // directory) with the offset of every game lump that lies inside
    // [start, start + length) moved by delta; other records stay as they are.
    // False, changing nothing, when the bytes hold no whole directory.
    static bool moveGameLumps(QByteArray &lump, qint64 start, qint64 length, qint64 delta);
    // The map's pakfile files hold edits (new bytes, deletions, additions,
    // renames) that a new lump 40 given as a whole would discard.
    bool hasPakfileEdits() const;
    // Lumps that the file ends inside of (cut at the end when opened).
    const QVector<int> &cutLumps() const { return m_cutLumps; }
    // Every character fits in one Latin-1 byte.
    static bool isLatin1(const QString &text);

    // Internal version: 19 to 21 as read, 22 for version 21 in layout A.
    int version() const { return m_version; }
    qint32 ident() const { return m_ident; }
    qint32 mapRevision() const { return m_mapRevision; }
    const CBspLump &lump(int index) const { return m_lumps[index]; }
    const QVector<CGameLump> &gameLumps() const { return m_gameLumps; }
    const QVector<CPakfileEntry *> &pakfileEntries() const { return m_pakfileEntries; }
    // The pakfile archive's comment: as read at open or written by the last
    // flush, or as last set; the next flush writes it into the end record.
    const QByteArray &pakfileComment() const { return m_zipComment; }
    // False, keeping the comment, for one longer than an end record holds.
    bool setPakfileComment(const QByteArray &comment);
    static constexpr int MaxPakfileCommentLength = 0xFFFF;
    quint16 zipDiskNumber() const { return m_zipDiskNumber; }
    quint16 zipDirectoryDisk() const { return m_zipDirectoryDisk; }
    quint16 zipEntriesOnDisk() const { return m_zipEntriesOnDisk; }
    quint16 zipTotalEntries() const { return m_zipTotalEntries; }
    quint32 zipDirectorySize() const { return m_zipDirectorySize; }
    quint32 zipDirectoryOffset() const { return m_zipDirectoryOffset; }
    quint16 zipCommentLength() const { return m_zipCommentLength; }
    const QByteArray &zipComment() const { return m_zipComment; }

    // Work a reading of the pakfile took: bytes and reads from the map file,
    // and the times a record was looked at while reading the local headers.
    struct ReadCount
    {
        qint64 bytes = 0;
        int reads = 0;
        qint64 steps = 0;
    };

    // Points of a flush at which a test can make the I/O fail (see
    // flushFault).
    enum class FlushStep
    {
        TemporaryFile,   // opening the temporary file
        Lump,            // writing lump `item`
        StoredRead,      // reading the stored bytes of pakfile file `item`
        ReferencedRead,  // copying the local file of pakfile file `item`
        LocalEntry,      // writing the local record of pakfile file `item`
        CentralEntry,    // writing the directory entry of pakfile file `item`
        EndRecord,       // writing the pakfile end record
        Header,          // writing the map header
        FinishTemporary, // writing out the temporary file's buffer
        SyncTemporary,   // syncing the temporary file to disk
        ReadBack,        // opening the written temporary file as a map
        Backup,          // the backup: item 0 linking or copying the map to a new
                         // name, 1 renaming that onto the backup's name
        Replace,         // renaming the temporary file over the map
        Reopen,          // opening the new map: item 0 read-write, 1 read-only
    };

protected:
    // Test seam, called just before each step: true makes the step fail as if
    // its I/O had failed. Pakfile files count from 0 in the order they are
    // written.
    virtual bool flushFault(FlushStep step, int item) const;

    // Test seam: what the last reading of the pakfile (at open or after a
    // flush) read from the map file, the large-directory path aside.
    ReadCount pakfileReads() const { return m_pakfileReads; }

    // The stored bytes of an entry as they lie in the file, whatever the
    // pakfile compression; lump 35's game-lump offsets are moved to the
    // device's position. With `writeback`, a file device is asked to start
    // writing them to the disk as they arrive.
    bool writeStoredRaw(QIODevice *device, int index, bool writeback = false);
    // The same bytes into an array (replacing its contents).
    bool readStoredRaw(int index, QByteArray &out);
    // The stored record of a pakfile entry index, or null.
    const CPakfileEntry *pakfileEntry(int index) const;
    void clearRecords();
    // The pakfile records and the end-record values.
    void clearPakfileRecords();

    qint32 m_ident = 0;
    qint32 m_version = 0;
    CBspLump m_lumps[BspFormat::LumpCount];
    qint32 m_mapRevision = 0;
    QVector<CGameLump> m_gameLumps;
    // One per central directory record, in archive order; owned.
    QVector<CPakfileEntry *> m_pakfileEntries;
    quint16 m_zipDiskNumber = 0;
    quint16 m_zipDirectoryDisk = 0;
    quint16 m_zipEntriesOnDisk = 0;
    quint16 m_zipTotalEntries = 0;
    quint32 m_zipDirectorySize = 0;
    quint32 m_zipDirectoryOffset = 0;
    quint16 m_zipCommentLength = 0;
    QByteArray m_zipComment;
    bool m_gameLumpsRelative = false;
    QVector<int> m_cutLumps;
    ReadCount m_pakfileReads;

private:
    // open() with the pakfile left unread when withPakfile is false, and
    // without a tree when withTree is false.
    bool openMap(const QString &path, bool readOnly, bool withPakfile, bool withTree = true);
    // Files whose path cannot be shown are set aside with a warning.
    void addPakfileNodes();
    // The components a pakfile name is filed under in the tree.
    static QStringList pakfilePathParts(const QByteArray &name);
    // Archivers store folders as empty records whose names end in a slash.
    static bool isFolderRecord(const QByteArray &name);
    // The name a flush writes a stored file under, given the node's path now:
    // the record's own while the node keeps the path the tree gave it (names
    // that differ only in case share folders and nodes), else that path.
    static QByteArray pakfileSaveName(const QString &path, const CPakfileEntry &entry);
    // A flush would write a file of top's subtree (or top) under the name of
    // a record set aside.
    bool writesSetAsideName(const CPackageHierarchyNode *top) const;
    // How a record set aside at open must lie towards the files of the tree
    // in a rewritten pakfile, so that an open of the new map gives each of
    // them its node again: of two records with one path the later takes it,
    // of a file and a folder the earlier. BeforeNode: the record has the path
    // of the file `anchor`. AfterNode: it would need the file `anchor` as a
    // folder or the folder `anchor` (its first file) as a file, or the
    // reverse. Anywhere: it takes no path the tree uses.
    enum class RecordPlace
    {
        Anywhere,
        BeforeNode,
        AfterNode,
    };
    RecordPlace setAsidePlace(const CPakfileEntry &record,
                              const CPackageHierarchyNode *&anchor) const;
    // Where a game lump's bytes start in the file.
    qint64 gameLumpStart(const CGameLump &gameLump) const;
    // Index of the first game lump (of non-zero length) outside lump 35, or -1.
    int gameLumpOutsideLump() const;
    // Closes both files and puts the new map in the old one's place, keeping
    // the old map as the backup (a map deleted while open has none: the new
    // one takes its free name). False with the message to report.
    bool swapFlushedFile(CBspRewrite &rewrite, QString &message);
    // Gives the map as it stands the backup's name. False with the message.
    bool makeBackup(const QString &mapName, QString &message) const;
    // Takes the records of the map just written and renumbers the pakfile
    // nodes after it.
    void adoptRewrite(const CBspRewrite &rewrite, FlushSyncronizer *syncronizer);
    // Lump 40 was written whole: its archive is read anew and its nodes
    // rebuilt.
    void reloadPakfile(FlushSyncronizer *syncronizer);
    bool readHeader(CBinaryReader &reader);
    // Refuses negative records; cuts lumps that run past the end of the file.
    bool checkLumpBounds(qint64 fileSize);
    bool readPakfile();
    // Bytes of lump 40, counted in m_pakfileReads; empty when they cannot
    // all be read.
    QByteArray readPakfileRange(qint64 offset, qint64 length);
    // The reader spans from the directory offset to the end record.
    bool readCentralDirectory(CBinaryReader &directory);
    bool readLocalHeaders(qint64 endRecordPos);
    bool failOpen(const QString &text);
};
