// Edits of a map before its flush: texture names with their offset table,
// pakfile names (Latin-1 only), and what a new lump 40 given whole would
// discard.
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "PackageErrors.h"
#include "functions.h"

#include <QBuffer>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <memory>

namespace E = PackageErrors;
namespace F = BspFormat;

bool CDelegateBSP::setTexdataStrings(const QVector<QByteArray> &strings)
{
    // The strings as they stand now (pending edits included), so that the
    // table's offsets can follow them.
    std::unique_ptr<QByteArray> oldStrings(readCurrent(F::TexdataStringLump));
    std::unique_ptr<QByteArray> oldTable(readCurrent(F::TexdataStringTableLump));
    if (!oldStrings || !oldTable)
        return false;
    // A map without the table has nothing to keep in step.
    const bool withTable = !oldTable->isEmpty();
    QVector<qint64> oldStarts;
    {
        QBuffer buffer(oldStrings.get());
        buffer.open(QIODevice::ReadOnly);
        while (!buffer.atEnd()) {
            oldStarts.append(buffer.pos());
            readLine(&buffer);
        }
    }

    qsizetype total = 0;
    for (const QByteArray &s : strings)
        total += s.size() + 1;
    QByteArray joined;
    joined.reserve(int(total));
    QVector<qint32> starts;
    starts.reserve(strings.size());
    // NUL is the terminator the engine looks for between texture names.
    for (const QByteArray &s : strings) {
        starts.append(qint32(joined.size()));
        joined.append(s);
        joined.append('\0');
    }

    // An offset inside a string (names sharing a tail) keeps its distance
    // from the string's start, as far as the new string reaches.
    QByteArray table = *oldTable;
    const int entries = table.size() / 4;
    for (int i = 0; i < entries; ++i) {
        char *field = table.data() + 4 * i;
        const qint32 offset = qFromLittleEndian<qint32>(field);
        const auto after = std::upper_bound(oldStarts.begin(), oldStarts.end(), qint64(offset));
        const int k = int(after - oldStarts.begin()) - 1;
        if (k < 0 || offset >= oldStrings->size())
            continue;
        if (k >= strings.size())
            return fail(E::Bsp::texdataStringMissing(k));
        const qint32 inside = qint32(qMin<qint64>(offset - oldStarts[k], strings[k].size()));
        qToLittleEndian<qint32>(starts[k] + inside, field);
    }
    QByteArray added;
    for (int k = oldStarts.size(); k < strings.size(); ++k) {
        char field[4];
        qToLittleEndian<qint32>(starts[k], field);
        added.append(field, 4);
    }
    table.insert(4 * entries, added);
    return setData(joined, false, node(F::TexdataStringLump)) &&
           (!withTable || setData(table, false, node(F::TexdataStringTableLump)));
}

bool CDelegateBSP::isLatin1(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

CPackageHierarchyNode *CDelegateBSP::addFile(const QByteArray &data, bool isReference,
                                             const QString &path)
{
    if (!isLatin1(path)) {
        fail(E::Bsp::notLatin1(path));
        return nullptr;
    }
    return IPackageDelegate::addFile(data, isReference, path);
}

bool CDelegateBSP::rename(CPackageHierarchyNode *n, const QString &name)
{
    if (!checkTreeNode(n))
        return false;
    const bool lump = n->entryIndex >= 0 && n->entryIndex < F::LumpCount;
    if (lump || (m_rootNode && n == m_rootNode->first()))
        return fail(E::unableToRename(n->path(true), name));
    if (!isLatin1(name)) {
        const QString folder = n->path(false);
        return fail(E::Bsp::notLatin1(folder.isEmpty() ? name : folder + QLatin1Char('/') + name));
    }
    const QString before = n->name();
    const QString path = n->path(true);
    if (!IPackageDelegate::rename(n, name))
        return false;
    if (!writesSetAsideName(n))
        return true;
    // Its old name is free again: no sibling took it meanwhile.
    n->setName(before);
    return fail(E::unableToRename(path, name));
}

bool CDelegateBSP::writesSetAsideName(const CPackageHierarchyNode *top) const
{
    // Flushes write records without a node under their own names, so a file
    // written under one of them would make two entries with one name.
    QSet<QString> setAside;
    for (const CPakfileEntry *e : m_pakfileEntries) {
        if (e->setAside) {
            setAside.insert(pakfilePathParts(e->local.fileName).join(QLatin1Char('/')));
            setAside.insert(pakfilePathParts(e->central.fileName).join(QLatin1Char('/')));
        }
    }
    if (setAside.isEmpty())
        return false;
    for (int i = F::LumpCount; i < m_nodes.size(); ++i) {
        const CPackageHierarchyNode *n = m_nodes[i];
        const CPackageHierarchyNode *up = n;
        while (up && up != top)
            up = up->parent();
        if (!up || !n->isLeaf())
            continue;
        // A file written under its own stored name adds no name the archive
        // did not have.
        const QString path = n->path(true);
        const CPakfileEntry *e = pakfileEntry(i);
        const QByteArray saved = e ? pakfileSaveName(path, *e) : path.toLatin1();
        if ((!e || saved != e->local.fileName) &&
            setAside.contains(pakfilePathParts(saved).join(QLatin1Char('/'))))
            return true;
    }
    return false;
}

bool CDelegateBSP::hasPakfileEdits() const
{
    for (int i = F::LumpCount; i < m_nodes.size(); ++i) {
        const CPackageHierarchyNode *n = m_nodes[i];
        const CPakfileEntry *e = pakfileEntry(i);
        // The slot of a stored file that had a node is empty only when it
        // was removed with its folder.
        if (!n) {
            if (e && !e->setAside)
                return true;
            continue;
        }
        if (n->pendingData || n->deleted || !e)
            return true;
        if (pakfileSaveName(n->path(true), *e) != e->local.fileName)
            return true;
    }
    return false;
}
