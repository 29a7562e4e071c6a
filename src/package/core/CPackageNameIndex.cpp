#include "CPackageNameIndex.h"

#include "CPackageHierarchyNode.h"

#include <algorithm>
#include <cstring>

namespace {

// A slot whose node left; probing goes on past it.
CPackageHierarchyNode *const Removed = reinterpret_cast<CPackageHierarchyNode *>(quintptr(1));
constexpr size_t FirstCapacity = 32;
// Live and dead slots stay below this share of the table: probes stay short.
constexpr double MaxLoad = 0.7;

constexpr quint64 Lanes = 0x0001000100010001ull;
constexpr quint64 HighBits = 0xFF80FF80FF80FF80ull;

quint64 mix(quint64 h, quint64 word)
{
    h ^= word;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

// Four UTF-16 units below 0x80 each, with 'A' to 'Z' turned to lower case:
// a lane is an upper-case letter when adding 0x80 - 'A' sets its bit 7 and
// adding 0x80 - 'Z' - 1 does not. Lanes stay below 0x100, so nothing
// carries into the next.
quint64 foldWord(quint64 w)
{
    const quint64 atLeastA = w + (0x80 - 'A') * Lanes;
    const quint64 aboveZ = w + (0x80 - 'Z' - 1) * Lanes;
    return w + (((atLeastA & ~aboveZ) & (0x80 * Lanes)) >> 2);
}

// Hash of units already folded, or of ASCII ones when `fold` (false: a unit
// of 0x80 or above was met, and the hash must be taken over the full case
// folding instead).
bool hashUnits(const QChar *p, int n, bool fold, uint *out)
{
    quint64 h = quint64(n) * 0xC2B2AE3D27D4EB4Full;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        quint64 w;
        std::memcpy(&w, p + i, 8);
        if (fold) {
            if (w & HighBits)
                return false;
            w = foldWord(w);
        }
        h = mix(h, w);
    }
    quint64 tail = 0;
    for (int k = 0; i < n; ++i, ++k) {
        quint64 c = p[i].unicode();
        if (fold) {
            if (c >= 0x80)
                return false;
            if (c - 'A' < 26u)
                c += 32;
        }
        tail |= c << (16 * k);
    }
    *out = uint(mix(h, tail) >> 32);
    return true;
}

ushort foldAscii(ushort c)
{
    return unsigned(c - 'A') < 26u ? ushort(c + 32) : c;
}

bool isAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

size_t startSlot(uint hash, size_t capacity)
{
    return size_t((quint64(hash) * capacity) >> 32);
}

} // namespace

uint CPackageNameIndex::hash(const QString &name)
{
    // ASCII folds to lower case exactly as the full case folding does; any
    // other character takes the full folding of the whole name.
    uint h = 0;
    if (hashUnits(name.constData(), name.size(), true, &h))
        return h;
    const QString folded = name.toCaseFolded();
    hashUnits(folded.constData(), folded.size(), false, &h);
    return h;
}

bool CPackageNameIndex::equal(const QString &a, const QString &b)
{
    const QChar *p = a.constData();
    const QChar *q = b.constData();
    const int n = a.size();
    if (n == b.size()) {
        int i = 0;
        for (; i < n; ++i) {
            const ushort c = p[i].unicode();
            const ushort d = q[i].unicode();
            if ((c | d) >= 0x80)
                break;
            if (c != d && foldAscii(c) != foldAscii(d))
                return false;
        }
        if (i == n)
            return true;
    } else if (isAscii(a) && isAscii(b)) {
        return false;
    }
    return a.toCaseFolded() == b.toCaseFolded();
}

void CPackageNameIndex::place(CPackageHierarchyNode *node, uint hash)
{
    const size_t capacity = m_slots.size();
    size_t at = startSlot(hash, capacity);
    while (m_slots[at] && m_slots[at] != Removed)
        at = at + 1 == capacity ? 0 : at + 1;
    if (m_slots[at] == Removed)
        --m_removed;
    m_slots[at] = node;
    m_hashes[at] = hash;
}

void CPackageNameIndex::rebuild(size_t capacity)
{
    std::vector<CPackageHierarchyNode *> oldSlots(capacity, nullptr);
    std::vector<uint> oldHashes(capacity, 0);
    oldSlots.swap(m_slots);
    oldHashes.swap(m_hashes);
    m_removed = 0;
    for (size_t i = 0; i < oldSlots.size(); ++i) {
        if (oldSlots[i] && oldSlots[i] != Removed)
            place(oldSlots[i], oldHashes[i]);
    }
}

void CPackageNameIndex::reserve(int count)
{
    const auto wanted = size_t(count / MaxLoad) + 1;
    if (wanted > m_slots.size())
        rebuild(wanted);
}

void CPackageNameIndex::insert(CPackageHierarchyNode *node)
{
    if (double(m_used + m_removed + 1) > double(m_slots.size()) * MaxLoad) {
        // Twice the size, or the same size when removals left more dead
        // slots than live ones.
        const size_t capacity = m_slots.empty()                       ? FirstCapacity
                                : size_t(m_used) * 4 > m_slots.size() ? m_slots.size() * 2
                                                                      : m_slots.size();
        rebuild(capacity);
    }
    const QString &name = node->name();
    place(node, name.isSharedWith(m_lastName) ? m_lastHash : hash(name));
    ++m_used;
}

int CPackageNameIndex::slotOf(const CPackageHierarchyNode *node) const
{
    const size_t capacity = m_slots.size();
    if (capacity == 0)
        return -1;
    for (size_t at = startSlot(hash(node->name()), capacity); m_slots[at];
         at = at + 1 == capacity ? 0 : at + 1) {
        if (m_slots[at] == node)
            return int(at);
    }
    return -1;
}

void CPackageNameIndex::remove(CPackageHierarchyNode *node)
{
    const int at = slotOf(node);
    if (at < 0)
        return;
    m_slots[size_t(at)] = Removed;
    --m_used;
    ++m_removed;
}

CPackageHierarchyNode *CPackageNameIndex::find(const QString &name, bool *more) const
{
    if (more)
        *more = false;
    const uint h = hash(name);
    m_lastName = name;
    m_lastHash = h;
    const size_t capacity = m_slots.size();
    if (capacity == 0)
        return nullptr;
    CPackageHierarchyNode *found = nullptr;
    for (size_t at = startSlot(h, capacity); m_slots[at]; at = at + 1 == capacity ? 0 : at + 1) {
        CPackageHierarchyNode *node = m_slots[at];
        if (m_hashes[at] != h || node == Removed || !equal(node->name(), name))
            continue;
        if (found) {
            if (more)
                *more = true;
            break;
        }
        found = node;
        if (!more)
            break;
    }
    return found;
}
