#include "IPackageDelegate.h"

#include "CPackageHierarchyNode.h"
#include "CPath.h"
#include "FlushSyncronizer.h"
#include "PackageEntryName.h"
#include "PackageErrors.h"
#include "functions.h"

#include <QBuffer>

#include <limits>

namespace E = PackageErrors;

IPackageDelegate::IPackageDelegate(QObject *parent)
    : QObject(parent)
{
    m_stream.setDevice(&m_file);
    m_stream.setByteOrder(QDataStream::LittleEndian);
    m_stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
}

IPackageDelegate::~IPackageDelegate()
{
    delete m_rootNode;
}

bool IPackageDelegate::fail(const QString &text) const
{
    m_lastError = text;
    return false;
}

void IPackageDelegate::clearHierarchy()
{
    delete m_rootNode;
    m_rootNode = nullptr;
    m_nodes.clear();
}

bool IPackageDelegate::checkNode(CPackageHierarchyNode *node)
{
    if (!node)
        return fail(E::NullNode);
    if (node->owner != this)
        return fail(E::NotOwner);
    return true;
}

void IPackageDelegate::dropFromTable(CPackageHierarchyNode *n)
{
    std::vector<CHierarchyNode *> doomed = n->files(-1);
    const std::vector<CHierarchyNode *> folders = n->folders(-1);
    doomed.insert(doomed.end(), folders.begin(), folders.end());
    doomed.push_back(n);
    for (CHierarchyNode *d : doomed) {
        const int index = static_cast<CPackageHierarchyNode *>(d)->entryIndex;
        if (index >= 0 && index < m_nodes.size() && m_nodes[index] == d)
            m_nodes[index] = nullptr;
    }
}

bool IPackageDelegate::refuseFlush(FlushSyncronizer *syncronizer)
{
    fail(E::NoFlushLogic);
    if (syncronizer)
        syncronizer->fail();
    return false;
}

void IPackageDelegate::addWarning(const QString &text)
{
    if (m_warnings.size() < MaxWarnings)
        m_warnings.append(text);
    else
        ++m_unlistedWarnings;
}

void IPackageDelegate::clearWarnings()
{
    m_warnings.clear();
    m_unlistedWarnings = 0;
}

void IPackageDelegate::reportWarnings() const
{
    for (const QString &warning : m_warnings)
        qWarning("%s", qPrintable(warning));
    if (m_unlistedWarnings > 0)
        qWarning("%s", qPrintable(E::unlistedWarnings(m_unlistedWarnings)));
}

bool IPackageDelegate::isOpen() const
{
    return m_file.isOpen();
}

bool IPackageDelegate::isReadOnly() const
{
    return !m_file.isWritable();
}

QString IPackageDelegate::fileName() const
{
    return m_file.fileName();
}

QString IPackageDelegate::baseName() const
{
    return CPath(fileName(), true).fileName(false);
}

int IPackageDelegate::type() const
{
    return 0;
}

CPackageHierarchyNode *IPackageDelegate::root() const
{
    return m_rootNode;
}

FlushSyncronizer *IPackageDelegate::createFlushSyncronizer()
{
    return new FlushSyncronizer(nullptr);
}

bool IPackageDelegate::hasNode(int index) const
{
    return index >= 0 && index < m_nodes.size() && m_nodes[index];
}

int IPackageDelegate::nodeCount() const
{
    return m_nodes.size();
}

CPackageHierarchyNode *IPackageDelegate::node(int index) const
{
    return index >= 0 && index < m_nodes.size() ? m_nodes[index] : nullptr;
}

QStringList IPackageDelegate::splitPath(const QString &path)
{
    // A directory can list 100,000 files, so this avoids a regular expression.
    QStringList parts;
    const QChar *data = path.constData();
    const int n = path.size();
    int start = 0;
    for (int i = 0; i <= n; ++i) {
        if (i == n || data[i] == QLatin1Char('/') || data[i] == QLatin1Char('\\')) {
            if (i > start)
                parts.append(path.mid(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

CPackageHierarchyNode *IPackageDelegate::findNode(const QString &path) const
{
    const QStringList parts = splitPath(path);
    if (parts.isEmpty() || !m_rootNode)
        return nullptr;
    return m_rootNode->findNode(parts);
}

CPackageHierarchyNode *IPackageDelegate::findFile(const QString &path) const
{
    CPackageHierarchyNode *found = findNode(path);
    return found && found->isLeaf() ? found : nullptr;
}

// --- Sizes ---------------------------------------------------------------------

int IPackageDelegate::size(int index) const
{
    if (!hasNode(index))
        return 0;
    const CPackageHierarchyNode *n = m_nodes[index];
    if (n->pendingData)
        return n->isReference ? n->referencedSize : n->pendingData->size();
    return hasFile(index) ? storedSize(index) : 0;
}

namespace {

// Sum of perEntry(entry index) over a file node, or over every file below a
// folder. The walk is not recursive: a hostile directory can nest deeply.
template <typename PerEntry>
qint64 sumOverFiles(CPackageHierarchyNode *n, PerEntry perEntry)
{
    if (n->isLeaf())
        return perEntry(n->entryIndex);
    qint64 total = 0;
    for (CHierarchyNode *f : n->files(-1))
        total += perEntry(static_cast<CPackageHierarchyNode *>(f)->entryIndex);
    return total;
}

} // namespace

qint64 IPackageDelegate::size(CPackageHierarchyNode *n) const
{
    if (!n) {
        fail(E::NullNode);
        return 0;
    }
    return sumOverFiles(n, [this](int i) -> qint64 { return hasNode(i) ? size(i) : 0; });
}

qint64 IPackageDelegate::size(const QString &path) const
{
    return size(findNode(path));
}

qint64 IPackageDelegate::storedSize(CPackageHierarchyNode *n) const
{
    if (!n) {
        fail(E::NullNode);
        return 0;
    }
    return sumOverFiles(n, [this](int i) -> qint64 { return hasFile(i) ? storedSize(i) : 0; });
}

qint64 IPackageDelegate::storedSize(const QString &path) const
{
    return storedSize(findNode(path));
}

qint64 IPackageDelegate::sizeOnDisk(CPackageHierarchyNode *n) const
{
    if (!n) {
        fail(E::NullNode);
        return 0;
    }
    return sumOverFiles(n, [this](int i) -> qint64 { return sizeOnDisk(i); });
}

qint64 IPackageDelegate::sizeOnDisk(const QString &path) const
{
    return sizeOnDisk(findNode(path));
}

QPair<qint64, qint64> IPackageDelegate::sizes(CPackageHierarchyNode *n) const
{
    if (!n) {
        fail(E::NullNode);
        return qMakePair(qint64(0), qint64(0));
    }
    return qMakePair(sumOverFiles(n, [this](int i) -> qint64 { return storedSize(i); }),
                     sumOverFiles(n, [this](int i) -> qint64 { return sizeOnDisk(i); }));
}

// --- Stored bytes ----------------------------------------------------------------

QByteArray *IPackageDelegate::readStored(int index)
{
    if (!hasFile(index)) {
        fail(E::IndexOutOfBounds);
        return nullptr;
    }
    auto *bytes = new QByteArray();
    QBuffer buffer(bytes);
    if (!buffer.open(QIODevice::ReadWrite)) {
        delete bytes;
        fail(E::BufferOpen);
        return nullptr;
    }
    if (!writeStored(&buffer, index)) {
        buffer.close();
        delete bytes;
        return nullptr;
    }
    return bytes;
}

bool IPackageDelegate::writeStored(QIODevice *device, CPackageHierarchyNode *n)
{
    if (!n)
        return fail(E::NullNode);
    return writeStored(device, n->entryIndex);
}

QByteArray *IPackageDelegate::readStored(CPackageHierarchyNode *n)
{
    if (!n) {
        fail(E::NullNode);
        return nullptr;
    }
    return readStored(n->entryIndex);
}

bool IPackageDelegate::writeStored(QIODevice *device, const QString &path)
{
    return writeStored(device, findFile(path));
}

// --- Current bytes ---------------------------------------------------------------

bool IPackageDelegate::writeCurrent(QIODevice *device, CPackageHierarchyNode *n)
{
    if (!device)
        return fail(E::DeviceInvalid);
    if (!device->isOpen())
        return fail(E::DeviceNotOpen);
    if (!device->isWritable())
        return fail(E::DeviceNotWritable);
    if (!checkNode(n))
        return false;
    if (n->isFolder())
        return fail(E::NodeNotLeaf);
    if (!n->pendingData)
        return writeStored(device, n);
    if (!n->isReference) {
        const qint64 size = n->pendingData->size();
        const qint64 written = device->write(*n->pendingData);
        // A full disk shows up here: the text says so, not only that it failed.
        return written == size ||
               fail(E::shortWrite(size - qMax<qint64>(written, 0), size, E::deviceReason(device)));
    }
    QFile local(n->referencedPath());
    if (!local.open(QIODevice::ReadOnly))
        return fail(E::ReferencedFileOpen);
    return copyDevice(&local, device, local.size(), &m_lastError);
}

QByteArray *IPackageDelegate::readCurrent(CPackageHierarchyNode *n)
{
    auto *bytes = new QByteArray();
    QBuffer buffer(bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        delete bytes;
        fail(E::BufferOpen);
        return nullptr;
    }
    if (!writeCurrent(&buffer, n)) {
        buffer.close();
        delete bytes;
        return nullptr;
    }
    return bytes;
}

bool IPackageDelegate::writeCurrent(QIODevice *device, int index)
{
    return writeCurrent(device, node(index));
}

QByteArray *IPackageDelegate::readCurrent(int index)
{
    return readCurrent(node(index));
}

bool IPackageDelegate::writeCurrent(QIODevice *device, const QString &path)
{
    return writeCurrent(device, findFile(path));
}

QByteArray *IPackageDelegate::readCurrent(const QString &path)
{
    return readCurrent(findFile(path));
}

// --- Edits -------------------------------------------------------------------------

bool IPackageDelegate::remove(CPackageHierarchyNode *n)
{
    if (!checkNode(n))
        return false;
    if (hasFile(n->entryIndex)) {
        n->deleted = true;
        return true;
    }
    // Deleting the root would leave the delegate pointing at freed memory.
    if (n == m_rootNode)
        return fail(E::RootNotRemovable);
    // Nodes deleted with it leave the table too; the table keeps its size so
    // that every other entry index stays valid.
    dropFromTable(n);
    delete n;
    return false;
}

bool IPackageDelegate::remove(const QString &path)
{
    return remove(findFile(path));
}

bool IPackageDelegate::undelete(CPackageHierarchyNode *n)
{
    if (!checkNode(n))
        return false;
    n->deleted = false;
    return true;
}

bool IPackageDelegate::undelete(const QString &path)
{
    return undelete(findFile(path));
}

bool IPackageDelegate::revert(CPackageHierarchyNode *n)
{
    if (!checkNode(n))
        return false;
    return n->revert();
}

bool IPackageDelegate::revert(const QString &path)
{
    return revert(findNode(path));
}

bool IPackageDelegate::checkTreeNode(CPackageHierarchyNode *node)
{
    // Folders made on the way to a file have no owner, yet are ours.
    if (node && node->owner != this && (!m_rootNode || node->root() != m_rootNode))
        return fail(E::NotOwner);
    return node || fail(E::NullNode);
}

bool IPackageDelegate::rename(CPackageHierarchyNode *n, const QString &name)
{
    if (!checkTreeNode(n))
        return false;
    if (!PackageEntryName::isValidComponent(name))
        return fail(E::invalidName(name));
    if (n == m_rootNode || !n->setName(name))
        return fail(E::unableToRename(n->path(true), name));
    return true;
}

bool IPackageDelegate::setData(const QByteArray &data, bool isReference, CPackageHierarchyNode *n)
{
    if (!checkNode(n))
        return false;
    n->setPendingData(data, isReference);
    // New data for an entry marked for deletion: the user wants it kept, and
    // the next flush would otherwise drop the data silently.
    n->deleted = false;
    return true;
}

// Reads length bytes (-1: to the end) from an open, readable device in one read.
static bool readExactly(QIODevice *device, int length, QByteArray &out, QString &error)
{
    if (!device) {
        error = QString::fromLatin1(E::DeviceInvalid);
        return false;
    }
    if (!device->isOpen()) {
        error = QString::fromLatin1(E::DeviceNotOpen);
        return false;
    }
    if (!device->isReadable()) {
        error = QString::fromLatin1(E::DeviceNotReadable);
        return false;
    }
    qint64 wanted = length;
    if (length == -1)
        wanted = device->isSequential() ? device->bytesAvailable() : device->size() - device->pos();
    // A random-access device tells up front whether the bytes are there;
    // asking for more would only allocate for nothing.
    const bool tooLong = !device->isSequential() && wanted > device->size() - device->pos();
    if (wanted < 0 || wanted > std::numeric_limits<int>::max() || tooLong) {
        error = QString::fromLatin1(E::ReadIncomplete);
        return false;
    }
    out = device->read(wanted);
    if (out.size() != wanted) {
        error = QString::fromLatin1(E::ReadIncomplete);
        return false;
    }
    return true;
}

bool IPackageDelegate::setData(QIODevice *device, CPackageHierarchyNode *n, int length)
{
    if (!checkNode(n))
        return false;
    QByteArray bytes;
    if (!readExactly(device, length, bytes, m_lastError))
        return false;
    return setData(bytes, false, n);
}

CPackageHierarchyNode *IPackageDelegate::addFile(const QByteArray &data, bool isReference,
                                                 const QString &path)
{
    // Checked before anything is made: a refused name leaves the tree as it was.
    if (!PackageEntryName::isValidPath(path)) {
        fail(E::invalidName(path));
        return nullptr;
    }
    const QStringList parts = path.split(QLatin1Char('/'));
    CPackageHierarchyNode *n = m_rootNode ? m_rootNode->createPath(parts, true) : nullptr;
    if (!n) {
        fail(E::unableToCreateLeaf(path));
        return nullptr;
    }
    if (!n->owner)
        n->owner = this;
    if (!setData(data, isReference, n)) {
        if (n->entryIndex == -1)
            delete n;
        return nullptr;
    }
    if (n->entryIndex != -1)
        return n;
    n->entryIndex = m_nodes.size();
    m_nodes.append(n);
    return n;
}

CPackageHierarchyNode *IPackageDelegate::addFile(QIODevice *device, const QString &path, int length)
{
    if (!PackageEntryName::isValidPath(path)) {
        fail(E::invalidName(path));
        return nullptr;
    }
    QByteArray bytes;
    if (!readExactly(device, length, bytes, m_lastError))
        return nullptr;
    return addFile(bytes, false, path);
}
