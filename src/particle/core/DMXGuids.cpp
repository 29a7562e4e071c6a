#include "DMXGuids.h"

#include "CFilePCF.h"

#include <QSet>

#include <algorithm>
#include <cstring>

// Elements sharing a GUID are found by sorting, not by a hash table: the
// elements are spread over buckets by the top bits of a hash of their GUID in
// one counting pass, and each bucket, small enough to stay in the processor's
// cache, is sorted on its own. The passes read the elements in list order and
// allocate little, so the time grows with the number of elements and not
// faster, however large the document.
namespace {

// An element's 32-bit hash key above its position in the list: sorting the
// numbers sorts by key, and by position among equal keys.
using Entry = quint64;

Entry entryOf(quint32 key, int position)
{
    return quint64(key) << 32 | quint32(position);
}
quint32 keyOf(Entry entry)
{
    return quint32(entry >> 32);
}
int positionOf(Entry entry)
{
    return int(quint32(entry));
}

// Elements per bucket, about.
constexpr int BucketSize = 256;
// How far ahead of the element being read the next ones are asked for.
constexpr int Ahead = 16;
// Above this many elements sharing a GUID, those already renewed are looked
// up in a set instead of a list.
constexpr int SmallGroup = 16;

quint64 hashOf(const QUuid &id)
{
    static_assert(sizeof(QUuid) == 16, "a GUID is 16 bytes");
    quint64 halves[2];
    std::memcpy(halves, &id, sizeof halves);
    quint64 h = halves[0] * 0x9E3779B97F4A7C15ull ^ (halves[1] + 0x632BE59BD9B4E019ull);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 32);
}

// The pass over a list of elements: `List` gives size(), element(position)
// (null entries are skipped) and markChanged(position).
template <typename List>
class GuidPass
{
public:
    explicit GuidPass(List &list)
        : m_list(list)
    {}

    void run()
    {
        spread();
        for (int b = 0; b + 1 < m_starts.size(); ++b) {
            const auto begin = m_sorted.begin() + m_starts[b];
            const auto end = m_sorted.begin() + m_starts[b + 1];
            std::sort(begin, end);
            for (auto at = begin; at != end;) {
                auto runEnd = at + 1;
                while (runEnd != end && keyOf(*runEnd) == keyOf(*at))
                    ++runEnd;
                // A GUID of its own needs nothing and is not even looked at:
                // the elements lie in hash order here, all over memory.
                if (runEnd - at > 1 || (b == m_nullBucket && keyOf(*at) == m_nullKey))
                    resolveRun(int(at - m_sorted.begin()), int(runEnd - m_sorted.begin()));
                at = runEnd;
            }
        }
        // Renewed once every bucket is sorted, so that telling whether a new
        // GUID is taken is a binary search; in list order, which is about
        // the order of the elements in memory.
        std::sort(m_renew.begin(), m_renew.end(),
                  [](Entry a, Entry b) { return positionOf(a) < positionOf(b); });
        m_fresh.reserve(m_renew.size());
        for (Entry entry : qAsConst(m_renew)) {
            elementAt(entry)->guid = freshGuid();
            m_list.markChanged(positionOf(entry));
        }
    }

private:
    DMXElement *elementAt(Entry entry) const { return m_list.element(positionOf(entry)); }
    int bucketOf(quint64 hash) const { return m_bits ? int(hash >> (64 - m_bits)) : 0; }
    quint32 hashKey(quint64 hash) const { return quint32(hash >> (32 - m_bits)); }

    // One read of the list, in order, notes each element's hash and counts
    // the elements of each bucket; one pass over those notes puts them
    // there. The bucket is the top of the hash, the key its next 32 bits.
    void spread()
    {
        const int size = m_list.size();
        while (m_bits < 30 && (size >> m_bits) > BucketSize)
            ++m_bits;
        const quint64 nullHash = hashOf(QUuid());
        m_nullBucket = bucketOf(nullHash);
        m_nullKey = hashKey(nullHash);
        m_starts.fill(0, (1 << m_bits) + 1);
        QVector<quint64> hashes(size);
        int count = 0;
        for (int i = 0; i < size; ++i) {
            // The elements are reached through pointers: ask for the ones a
            // little ahead before they are needed.
            if (i + Ahead < size)
                __builtin_prefetch(m_list.element(i + Ahead));
            if (const DMXElement *element = m_list.element(i)) {
                const quint64 hash = hashOf(element->guid);
                hashes[i] = hash;
                ++m_starts[bucketOf(hash) + 1];
                ++count;
            }
        }
        for (int b = 1; b < m_starts.size(); ++b)
            m_starts[b] += m_starts[b - 1];
        QVector<int> next = m_starts;
        m_sorted.resize(count);
        for (int i = 0; i < size; ++i) {
            if (m_list.element(i))
                m_sorted[next[bucketOf(hashes[i])]++] = entryOf(hashKey(hashes[i]), i);
        }
    }

    // Elements whose GUIDs hash alike: nearly always one GUID, but different
    // GUIDs that collide are told apart here, in list order within each.
    void resolveRun(int begin, int end)
    {
        const QUuid &first = elementAt(m_sorted[begin])->guid;
        bool alike = true;
        for (int i = begin + 1; i < end && alike; ++i)
            alike = elementAt(m_sorted[i])->guid == first;
        if (!alike) {
            std::stable_sort(
                m_sorted.begin() + begin, m_sorted.begin() + end,
                [this](Entry a, Entry b) { return elementAt(a)->guid < elementAt(b)->guid; });
        }
        for (int i = begin; i < end;) {
            int groupEnd = i + 1;
            const QUuid guid = elementAt(m_sorted[i])->guid;
            while (groupEnd < end && elementAt(m_sorted[groupEnd])->guid == guid)
                ++groupEnd;
            if (groupEnd - i > 1 || guid.isNull())
                resolveGroup(i, groupEnd, guid.isNull());
            i = groupEnd;
        }
    }

    // Positions of one GUID, in list order: the first element keeps it (a
    // null one is renewed too); each other element is to be renewed once,
    // at its first position.
    void resolveGroup(int begin, int end, bool null)
    {
        DMXElement *keeper = null ? nullptr : elementAt(m_sorted[begin]);
        QVector<const DMXElement *> renewed;
        QSet<const DMXElement *> renewedSet;
        const bool large = end - begin > SmallGroup;
        for (int i = begin; i < end; ++i) {
            DMXElement *element = elementAt(m_sorted[i]);
            if (element == keeper ||
                (large ? renewedSet.contains(element) : renewed.contains(element)))
                continue;
            if (large)
                renewedSet.insert(element);
            else
                renewed.append(element);
            m_renew.append(m_sorted[i]);
        }
    }

    // A random GUID no listed element holds.
    QUuid freshGuid()
    {
        QUuid fresh;
        do
            fresh = QUuid::createUuid();
        while (fresh.isNull() || m_fresh.contains(fresh) || held(fresh));
        m_fresh.insert(fresh);
        return fresh;
    }

    // True when an element not renewed yet holds the GUID (the renewed ones
    // are in m_fresh).
    bool held(const QUuid &guid) const
    {
        const quint64 hash = hashOf(guid);
        const int bucket = bucketOf(hash);
        const auto end = m_sorted.begin() + m_starts[bucket + 1];
        auto at =
            std::lower_bound(m_sorted.begin() + m_starts[bucket], end, entryOf(hashKey(hash), 0));
        for (; at != end && keyOf(*at) == hashKey(hash); ++at) {
            if (elementAt(*at)->guid == guid)
                return true;
        }
        return false;
    }

    List &m_list;
    int m_bits = 0;
    int m_nullBucket = 0;
    quint32 m_nullKey = 0;
    // Start of each bucket in m_sorted, and the end.
    QVector<int> m_starts;
    QVector<Entry> m_sorted;
    // Elements to renew, at their first position.
    QVector<Entry> m_renew;
    QSet<QUuid> m_fresh;
};

struct RecordList
{
    QVector<DMXGuidRecord> &records;
    int size() const { return records.size(); }
    DMXElement *element(int position) const { return records[position].element; }
    void markChanged(int position) { records[position].changed = true; }
};

struct ElementList
{
    const QList<DMXElement *> &elements;
    bool changed = false;
    int size() const { return elements.size(); }
    DMXElement *element(int position) const { return elements[position]; }
    void markChanged(int) { changed = true; }
};

} // namespace

void regenerateGuids(QVector<DMXGuidRecord> &records)
{
    RecordList list{records};
    GuidPass<RecordList>(list).run();
}

bool regenerateGuids(const QList<DMXElement *> &elements)
{
    ElementList list{elements};
    GuidPass<ElementList>(list).run();
    return list.changed;
}

void ensureGuidUniqueness(QVector<PCFGuidRecord> &records)
{
    QVector<DMXGuidRecord> work;
    QVector<int> owner;
    for (int i = 0; i < records.size(); ++i) {
        if (!records[i].document)
            continue;
        for (DMXElement *element : qAsConst(records[i].document->elements)) {
            work.append({element, false});
            owner.append(i);
        }
    }
    regenerateGuids(work);
    for (int i = 0; i < work.size(); ++i) {
        if (work[i].changed)
            records[owner[i]].changed = true;
    }
}
