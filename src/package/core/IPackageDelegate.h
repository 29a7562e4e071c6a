#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class CPackageHierarchyNode;
class FlushSyncronizer;
class QIODevice;

// The one interface through which tools read and edit a package (a map, a
// GCF/NCF cache or a VPK directory). A delegate opens one package file, reads
// its directory and presents it as a tree of CPackageHierarchyNode. Every
// entry is reachable by entry index (its slot in the node table), by node, or
// by path inside the package ("\" and "/" separate, names match ignoring
// case, the first match in child order wins, an empty path names nothing).
//
// Edits stay pending in the nodes until flush() writes the package anew.
// Failures are returned (false, 0 or null) with their text in lastError(),
// which a later success does not clear.
//
// A delegate implements open, close, type, flush, hasFile, storedSize(int),
// sizeOnDisk(int), writeStored(QIODevice*, int) and buildHierarchy. Overriding
// one overload hides the others in the subclass: add
//   using IPackageDelegate::storedSize; (and sizeOnDisk, writeStored)
// to the subclass.
class IPackageDelegate : public QObject
{
    Q_OBJECT

public:
    // Deepest level below the root an entry may sit at; every reader sets
    // deeper entries aside. Each insert updates the counts of all ancestors,
    // so a hostile path of thousands of levels would make building a tree
    // quadratic; no real package nests anywhere near this.
    static constexpr int MaxTreeDepth = 256;
    static constexpr int MaxWarnings = 100;
    // A warning quotes no more of a name than this.
    static constexpr int MaxWarnedNameLength = 200;
    // Longest name or path below the root, in characters, an entry may have
    // where names can overlap in a hostile directory (one long extension
    // shared by every file, name offsets into one long string): such names
    // would cost their length once per entry, so longer ones are set aside.
    // No file system takes a longer path for extraction anyway.
    static constexpr int MaxPathLength = 1024;

    explicit IPackageDelegate(QObject *parent = nullptr);
    // Deletes the whole tree.
    ~IPackageDelegate() override;

    const QString &lastError() const { return m_lastError; }
    // Problems that did not stop the last open (entries set aside, a file cut
    // short). open() reports them once, on the warning channel, when it
    // succeeds; they are kept here for tools that show them otherwise.
    const QStringList &warnings() const { return m_warnings; }

    virtual bool open(const QString &path, bool readOnly) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const;
    // True when the file is not writable, also when it is closed.
    virtual bool isReadOnly() const;
    virtual QString fileName() const;
    // File name without directory and extension.
    virtual QString baseName() const;
    // 0 base, 1 map, 2 GCF, 3 NCF, 4 VPK.
    virtual int type() const;
    virtual CPackageHierarchyNode *root() const;

    // A new, reset syncronizer without parent; the caller owns it.
    virtual FlushSyncronizer *createFlushSyncronizer();
    // Writes every pending edit; syncronizer may be null.
    virtual bool flush(FlushSyncronizer *syncronizer) = 0;

    // The entry has stored data in the package (checks the delegate's own
    // directory only).
    virtual bool hasFile(int index) const = 0;
    // 0 <= index < table size and the slot is not empty.
    virtual bool hasNode(int index) const;

    // Stored (unedited) size of an entry.
    virtual int storedSize(int index) const = 0;
    // Folder totals are 64-bit: a package can hold more than 2 GiB.
    virtual qint64 storedSize(CPackageHierarchyNode *node) const;
    virtual qint64 storedSize(const QString &path) const;
    // Current size: pending data wins over stored data. The size queries are
    // all const so that no overload wins only through constness (size(0)).
    virtual int size(int index) const;
    virtual qint64 size(CPackageHierarchyNode *node) const;
    virtual qint64 size(const QString &path) const;
    // Bytes the entry occupies in the package, from the current size.
    virtual int sizeOnDisk(int index) const = 0;
    virtual qint64 sizeOnDisk(CPackageHierarchyNode *node) const;
    virtual qint64 sizeOnDisk(const QString &path) const;

    // Copies an entry's stored bytes to an open, writable device.
    virtual bool writeStored(QIODevice *device, int index) = 0;
    // Stored bytes in a new array (caller deletes); null on failure.
    virtual QByteArray *readStored(int index);
    virtual bool writeStored(QIODevice *device, CPackageHierarchyNode *node);
    virtual QByteArray *readStored(CPackageHierarchyNode *node);
    virtual bool writeStored(QIODevice *device, const QString &path);

    // Current bytes (pending wins over stored).
    virtual bool writeCurrent(QIODevice *device, CPackageHierarchyNode *node);
    virtual QByteArray *readCurrent(CPackageHierarchyNode *node);
    virtual bool writeCurrent(QIODevice *device, int index);
    virtual QByteArray *readCurrent(int index);
    virtual bool writeCurrent(QIODevice *device, const QString &path);
    virtual QByteArray *readCurrent(const QString &path);

    // A stored entry is only marked (true); anything else is deleted at once
    // with its subtree, its table slots emptied (false).
    virtual bool remove(CPackageHierarchyNode *node);
    virtual bool remove(const QString &path);
    virtual bool undelete(CPackageHierarchyNode *node);
    virtual bool undelete(const QString &path);
    virtual bool revert(CPackageHierarchyNode *node);
    // Folders are accepted here.
    virtual bool revert(const QString &path);
    // Gives a node a new name in its folder: one valid path component
    // (PackageEntryName), not taken by a sibling (a change of case alone is
    // allowed). The root keeps its name.
    virtual bool rename(CPackageHierarchyNode *node, const QString &name);

    // Stages length bytes (-1: to the device's end) as the node's new bytes.
    virtual bool setData(QIODevice *device, CPackageHierarchyNode *node, int length = -1);
    // Stages data as new bytes or, with isReference, as a local file's path.
    virtual bool setData(const QByteArray &data, bool isReference, CPackageHierarchyNode *node);

    // Finds or creates the file at path and stages the data; a new file gets
    // the next free entry index. A path PackageEntryName refuses stages
    // nothing. Null on failure.
    virtual CPackageHierarchyNode *addFile(QIODevice *device, const QString &path, int length = -1);
    virtual CPackageHierarchyNode *addFile(const QByteArray &data, bool isReference,
                                           const QString &path);

    // Size of the node table, emptied slots included.
    virtual int nodeCount() const;
    virtual CPackageHierarchyNode *node(int index) const;
    // {stored size, size on disk}.
    virtual QPair<qint64, qint64> sizes(CPackageHierarchyNode *node) const;

    // Builds the tree and the node table from the directory read by open.
    virtual bool buildHierarchy() = 0;

    // Node at path (file or folder); null when the path names nothing.
    CPackageHierarchyNode *findNode(const QString &path) const;
    // File node at path; null for a folder or nothing.
    CPackageHierarchyNode *findFile(const QString &path) const;
    // Components of a package path: split at "\" and "/", empty parts dropped.
    static QStringList splitPath(const QString &path);

protected:
    // Stores text as the last error and returns false, for one-line failures.
    bool fail(const QString &text) const;
    // Deletes the tree and empties the node table.
    void clearHierarchy();
    // Null node / foreign node checks shared by the edit operations.
    bool checkNode(CPackageHierarchyNode *node);
    // The same, accepting any node of this delegate's tree.
    bool checkTreeNode(CPackageHierarchyNode *node);
    // Empties the table slots of node and of every node below it, before the
    // subtree is deleted; the table keeps its size.
    void dropFromTable(CPackageHierarchyNode *node);
    // What a read-only delegate answers to flush().
    bool refuseFlush(FlushSyncronizer *syncronizer);
    // Keeps a warning of the open under way; past MaxWarnings only counts it.
    void addWarning(const QString &text);
    // No further warning text is kept: a caller need not make one.
    bool warningsFull() const { return m_warnings.size() >= MaxWarnings; }
    void clearWarnings();
    // Sends the warnings of the last open to the warning channel, once.
    void reportWarnings() const;

    // Queries report too, so the text may change in const operations.
    mutable QString m_lastError;
    QFile m_file;
    // Little-endian, single precision; attached to m_file.
    QDataStream m_stream;
    QStringList m_warnings;
    // Warnings past MaxWarnings, counted but not kept: a hostile package can
    // have a bad entry for every entry.
    int m_unlistedWarnings = 0;
    // Root of the tree ("root"), owned; null until built.
    CPackageHierarchyNode *m_rootNode = nullptr;
    // Element i is the node of entry index i; null for an emptied slot. Not
    // owning: every node here is also in the tree.
    QVector<CPackageHierarchyNode *> m_nodes;
};
