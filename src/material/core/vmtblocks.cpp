#include "vmtblocks.h"

#include "functions.h"

namespace {

const QChar Quote = QLatin1Char('"');
const QChar OpenBrace = QLatin1Char('{');
const QChar CloseBrace = QLatin1Char('}');

bool endsWord(QChar c)
{
    return isAsciiSpace(c) || c == Quote || c == OpenBrace || c == CloseBrace;
}

bool isNamed(const QStringRef &name, const char *wanted)
{
    return name.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0;
}

} // namespace

VmtStructure::VmtStructure(const QStringList &lines, const QString &proxy)
    : m_proxy(proxy)
{
    const int count = lines.size();
    m_endDepth.resize(count);
    m_itemOf.fill(-1, count);
    m_braces.fill(false, count);
    for (int i = 0; i < count; ++i)
        scanLine(lines.at(i), i);

    if (m_blocks.isEmpty() || m_blocks.first().closeLine < 0 ||
        isNamed(QStringRef(&m_blocks.first().name), "Proxies"))
        return;
    m_material = 0;
    if (!m_patch) {
        m_keyBlocks << 0;
        m_newKeys = 0;
        return;
    }
    // The engine applies "insert" (writing its keys) before "replace"
    // (changing those the included material has); the patch block's own keys
    // are not the material's.
    for (const int block : {m_insert, m_replace}) {
        if (block >= 0)
            m_keyBlocks << block;
    }
    m_newKeys = m_insert;
}

bool VmtStructure::holdsKeys(int index) const
{
    return m_patch ? index == m_insert || index == m_replace : index == 0;
}

int VmtStructure::current() const
{
    return !m_open.isEmpty() && m_blocks.at(m_open.last()).depth == m_depth ? m_open.last() : -1;
}

void VmtStructure::openBlock(int line, int column, int openLine, const QStringRef &name)
{
    const int parent = current();
    int *first = nullptr; // where a block kept as the first of its kind is noted
    bool keep = false;
    const int grandparent = parent >= 0 ? m_blocks.at(parent).parent : -1;
    if (m_depth == 0) {
        keep = m_blocks.isEmpty();
        if (keep)
            m_patch = isNamed(name, "patch");
    } else if (grandparent >= 0 && m_blocks.at(grandparent).proxies == parent) {
        keep = !m_proxy.isEmpty() && name.compare(m_proxy, Qt::CaseInsensitive) == 0;
        if (!keep && !name.isEmpty())
            ++m_blocks[parent].otherProxies;
    } else if (parent == 0 && m_patch && isNamed(name, "insert")) {
        first = &m_insert;
    } else if (parent == 0 && m_patch && isNamed(name, "replace")) {
        first = &m_replace;
    } else if (parent >= 0 && holdsKeys(parent) && isNamed(name, "Proxies")) {
        first = &m_blocks[parent].proxies;
    }
    if (first && *first < 0) {
        *first = m_blocks.size();
        keep = true;
    }
    ++m_depth;
    if (!keep)
        return;
    VmtBlock block;
    block.name = name.toString();
    block.headerLine = line;
    block.headerColumn = column;
    block.openLine = openLine;
    block.parent = parent;
    block.depth = m_depth;
    m_open << m_blocks.size();
    m_blocks << block;
}

void VmtStructure::scanLine(const QString &line, int index)
{
    // A key alone, or a closing brace, is an item of the block it stands in.
    const auto item = [this](int at) { m_itemOf[at] = current(); };
    const int n = line.size();
    int i = 0;
    while (i < n) {
        const QChar c = line.at(i);
        if (isAsciiSpace(c)) {
            ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && line.at(i + 1) == QLatin1Char('/')) {
            break;
        } else if (c == OpenBrace) {
            m_braces[index] = true;
            if (m_pending)
                openBlock(m_pendingLine, m_pendingColumn, index, m_pendingName);
            else
                openBlock(index, i, index, QStringRef());
            m_pending = false;
            ++i;
        } else if (c == CloseBrace) {
            m_braces[index] = true;
            if (m_pending)
                item(m_pendingLine);
            m_pending = false;
            if (m_depth > 0) {
                const int closing = current();
                if (closing >= 0) {
                    m_blocks[closing].closeLine = index;
                    m_blocks[closing].closeEnd = i + 1;
                    m_open.removeLast();
                }
                --m_depth;
                item(index);
            }
            ++i;
        } else {
            const int start = i;
            QStringRef word;
            if (c == Quote) {
                int end = line.indexOf(Quote, i + 1);
                if (end < 0)
                    end = n;
                word = line.midRef(i + 1, end - i - 1);
                i = qMin(end + 1, n);
            } else {
                while (i < n && !endsWord(line.at(i)))
                    ++i;
                word = line.midRef(start, i - start);
                if (word.startsWith(QLatin1Char('[')))
                    continue;
            }
            if (m_pending && m_pendingLine == index) {
                item(index);
                m_pending = false;
                continue;
            }
            if (m_pending)
                item(m_pendingLine);
            m_pending = true;
            m_pendingLine = index;
            m_pendingColumn = start;
            m_pendingName = word;
        }
    }
    m_endDepth[index] = m_depth;
}

int VmtStructure::keyValue(const QStringList &lines, int line, QString &key, QString &value) const
{
    // The scan notes the block each pair stands directly in.
    const int block = m_itemOf.at(line);
    if (block < 0 || m_braces.at(line) || !m_keyBlocks.contains(block) ||
        !splitKeyValueLine(lines.at(line), key, value))
        return -1;
    return block;
}

int VmtStructure::findKey(const QStringList &lines, int block, const QString &key,
                          Qt::CaseSensitivity cs, QString *value) const
{
    const VmtBlock &keys = m_blocks.at(block);
    for (int i = keys.openLine + 1; i < keys.closeLine; ++i) {
        QString lineKey, lineValue;
        if (keyValue(lines, i, lineKey, lineValue) == block && lineKey.compare(key, cs) == 0) {
            if (value)
                *value = lineValue;
            return i;
        }
    }
    return -1;
}

int VmtStructure::insertionLine(int index, int limit, bool afterItem) const
{
    const VmtBlock &block = m_blocks.at(index);
    for (int i = limit - 1; i >= block.openLine; --i) {
        if (m_endDepth.at(i) == block.depth &&
            (!afterItem || i == block.openLine || m_itemOf.at(i) == index))
            return i + 1;
    }
    return -1;
}
