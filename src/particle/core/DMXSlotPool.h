#pragma once

#include <QtGlobal>

#include <cstddef>
#include <mutex>

// Fixed-size slots for the particle model's small, numerous objects
// (attributes, elements). A large file holds millions of them: one heap block
// each would cost a malloc header per object and scatter them over memory.
//
// Slots live in slabs of SlabSize bytes aligned to their size, so a slot
// finds its slab by masking its address. A run of consecutive slots can be
// taken at once (an element's attributes, read one after another), and every
// slot of a run is freed on its own later, or all together. A slab goes back
// to the system when its last slot is freed.
class DMXSlotPool
{
public:
    static constexpr std::size_t SlabSize = std::size_t(1) << 20;

    // `slotSize` is rounded up to a multiple of 4 (slots are 4-byte aligned).
    explicit DMXSlotPool(std::size_t slotSize);
    ~DMXSlotPool();
    DMXSlotPool(const DMXSlotPool &) = delete;
    DMXSlotPool &operator=(const DMXSlotPool &) = delete;

    // One slot; aborts like operator new when the system has no memory.
    void *allocate();
    // `count` consecutive slots (0 < count <= capacity()); null otherwise.
    void *allocateRun(int count);
    // Gives back one slot, or `count` consecutive ones. Null is ignored.
    void release(void *slot);
    void releaseRun(void *first, int count);

    // The process-wide pool for objects of a class (never destroyed:
    // static documents may free their parts while the program ends).
    template <typename T>
    static DMXSlotPool &of()
    {
        static DMXSlotPool *pool = new DMXSlotPool(sizeof(T));
        return *pool;
    }

    // Slots one slab holds: the longest run.
    int capacity() const { return m_capacity; }
    // Slots handed out and not given back (for tests: nothing leaks).
    qint64 liveSlots() const;

private:
    struct Slab;
    Slab *newSlab();
    void freeSlab(Slab *slab);
    void link(Slab *slab);
    void unlink(Slab *slab);
    void releaseLocked(Slab *slab, void *slot);
    void retireIfEmpty(Slab *slab);
    Slab *slabOf(const void *slot) const;
    char *slotAt(Slab *slab, quint32 index) const;

    const std::size_t m_slotSize;
    const std::size_t m_headerSize;
    const int m_capacity;
    mutable std::mutex m_mutex;
    // The slab new slots and runs are cut from.
    Slab *m_current = nullptr;
    // Slabs with freed slots to hand out again.
    Slab *m_partial = nullptr;
    qint64 m_live = 0;
};
