#pragma once

#include <QVector>
#include <QtGlobal>

// A set of pointers in one flat table (open addressing): the walks over a
// whole document visit hundreds of thousands of elements, and a node-based
// set would allocate for each.
class DMXPointerSet
{
public:
    bool contains(const void *pointer) const
    {
        if (m_table.isEmpty())
            return false;
        for (int at = slotOf(pointer);; at = (at + 1) & mask()) {
            const void *held = m_table[at];
            if (!held)
                return false;
            if (held == pointer)
                return true;
        }
    }

    // False when it was there already. Null is never held.
    bool insert(const void *pointer)
    {
        if (!pointer)
            return false;
        if ((m_count + 1) * 2 > m_table.size())
            grow();
        for (int at = slotOf(pointer);; at = (at + 1) & mask()) {
            const void *&held = m_table[at];
            if (held == pointer)
                return false;
            if (!held) {
                held = pointer;
                ++m_count;
                return true;
            }
        }
    }

    int size() const { return m_count; }

private:
    int mask() const { return m_table.size() - 1; }
    int slotOf(const void *pointer) const
    {
        const quint64 mixed =
            (quint64(reinterpret_cast<quintptr>(pointer)) >> 3) * 0x9E3779B97F4A7C15ull;
        return int(mixed >> 32) & mask();
    }
    void grow()
    {
        const QVector<const void *> old = m_table;
        m_table.fill(nullptr, qMax(16, old.size() * 2));
        m_count = 0;
        for (const void *pointer : old) {
            if (pointer)
                insert(pointer);
        }
    }

    QVector<const void *> m_table;
    int m_count = 0;
};
