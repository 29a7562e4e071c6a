#include "DMXGuids.h"

#include "CFilePCF.h"

#include <QSet>

#include <algorithm>
#include <cstring>
#include <numeric>

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
// (null entries are skipped), entry(position) (where the list holds it) and
// markChanged(position).
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
        // Runs of equal keys are the candidates: elements that may share a
        // GUID, or hold the null one. A GUID of its own needs nothing and is
        // not even looked at.
        for (int b = 0; b + 1 < m_starts.size(); ++b) {
            const auto begin = m_sorted.begin() + m_starts[b];
            const auto end = m_sorted.begin() + m_starts[b + 1];
            std::sort(begin, end);
            for (auto at = begin; at != end;) {
                auto runEnd = at + 1;
                while (runEnd != end && keyOf(*runEnd) == keyOf(*at))
                    ++runEnd;
                if (runEnd - at > 1 || (b == m_nullBucket && keyOf(*at) == m_nullKey))
                    m_runs.append({int(at - m_sorted.begin()), int(runEnd - m_sorted.begin())});
                at = runEnd;
            }
        }
        // The candidates' elements lie all over memory: each run asks for
        // the elements of a run further on before it reads its own.
        for (int r = 0; r < m_runs.size(); ++r) {
            if (r + Ahead < m_runs.size())
                prefetchRun(m_runs[r + Ahead], false);
            if (r + Ahead / 2 < m_runs.size())
                prefetchRun(m_runs[r + Ahead / 2], true);
            resolveRun(m_runs[r].first, m_runs[r].second);
        }
        renew();
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

    // The list entry of each element of a run, or the elements themselves.
    void prefetchRun(const QPair<int, int> &run, bool elements) const
    {
        for (int i = run.first; i < run.second; ++i) {
            const int position = positionOf(m_sorted[i]);
            if (elements)
                __builtin_prefetch(m_list.element(position));
            else
                __builtin_prefetch(m_list.entry(position));
        }
    }

    // The order of m_sorted for a hash: bucket, then key.
    quint64 orderOf(quint64 hash) const { return quint64(bucketOf(hash)) << 32 | hashKey(hash); }

    // Fresh random GUIDs for the elements to renew, in list order (about the
    // order of the elements in memory).
    void renew()
    {
        std::sort(m_renew.begin(), m_renew.end(),
                  [](Entry a, Entry b) { return positionOf(a) < positionOf(b); });
        QVector<QUuid> fresh(m_renew.size());
        QVector<int> redo(fresh.size());
        std::iota(redo.begin(), redo.end(), 0);
        while (!redo.isEmpty()) {
            for (int k : qAsConst(redo)) {
                do
                    fresh[k] = QUuid::createUuid();
                while (fresh[k].isNull());
            }
            redo = clashes(fresh);
        }
        for (int k = 0; k < m_renew.size(); ++k) {
            if (k + Ahead < m_renew.size())
                __builtin_prefetch(elementAt(m_renew[k + Ahead]));
            elementAt(m_renew[k])->guid = fresh[k];
            m_list.markChanged(positionOf(m_renew[k]));
        }
    }

    // The new GUIDs that a listed element holds or that came twice, found
    // for all of them in one pass over the sorted notes.
    QVector<int> clashes(const QVector<QUuid> &fresh) const
    {
        QVector<QPair<quint64, int>> order;
        order.reserve(fresh.size());
        for (int k = 0; k < fresh.size(); ++k)
            order.append({orderOf(hashOf(fresh[k])), k});
        std::sort(order.begin(), order.end(), [&](const auto &a, const auto &b) {
            return a.first < b.first || (a.first == b.first && fresh[a.second] < fresh[b.second]);
        });
        QVector<int> out;
        int next = 0;
        for (int b = 0; b + 1 < m_starts.size() && next < order.size(); ++b) {
            for (int i = m_starts[b]; i < m_starts[b + 1] && next < order.size(); ++i) {
                const quint64 held = quint64(b) << 32 | keyOf(m_sorted[i]);
                while (next < order.size() && order[next].first < held)
                    ++next;
                for (int k = next; k < order.size() && order[k].first == held; ++k) {
                    if (elementAt(m_sorted[i])->guid == fresh[order[k].second])
                        out.append(order[k].second);
                }
            }
        }
        for (int k = 1; k < order.size(); ++k) {
            if (fresh[order[k].second] == fresh[order[k - 1].second])
                out.append(order[k].second);
        }
        return out;
    }

    List &m_list;
    int m_bits = 0;
    int m_nullBucket = 0;
    quint32 m_nullKey = 0;
    // Start of each bucket in m_sorted, and the end.
    QVector<int> m_starts;
    QVector<Entry> m_sorted;
    // Candidates: runs of m_sorted, [first, second).
    QVector<QPair<int, int>> m_runs;
    // Elements to renew, at their first position.
    QVector<Entry> m_renew;
};

struct RecordList
{
    QVector<DMXGuidRecord> &records;
    int size() const { return records.size(); }
    DMXElement *element(int position) const { return records[position].element; }
    const void *entry(int position) const { return &records[position]; }
    void markChanged(int position) { records[position].changed = true; }
};

struct ElementList
{
    const QList<DMXElement *> &elements;
    bool changed = false;
    int size() const { return elements.size(); }
    DMXElement *element(int position) const { return elements[position]; }
    const void *entry(int position) const { return &elements.at(position); }
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

bool renewGuidsFrom(const QList<DMXElement *> &elements, int first)
{
    first = qBound(0, first, elements.size());
    QSet<QUuid> taken;
    taken.reserve(elements.size());
    for (int i = 0; i < first; ++i) {
        if (elements[i])
            taken.insert(elements[i]->guid);
    }
    // The null GUID is never one to keep.
    taken.insert(QUuid());
    bool changed = false;
    QSet<const DMXElement *> seen;
    for (int i = first; i < elements.size(); ++i) {
        DMXElement *element = elements[i];
        if (!element || seen.contains(element))
            continue;
        seen.insert(element);
        while (taken.contains(element->guid)) {
            element->guid = QUuid::createUuid();
            changed = true;
        }
        taken.insert(element->guid);
    }
    return changed;
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
