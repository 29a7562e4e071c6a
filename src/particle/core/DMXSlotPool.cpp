#include "DMXSlotPool.h"

#include <cstdlib>
#include <cstring>
#include <new>

// Under AddressSanitizer free slots are poisoned, so that a use of a freed
// attribute or element is reported as it would be for a heap block.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DMX_POOL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define DMX_POOL_ASAN 1
#endif
#ifdef DMX_POOL_ASAN
#include <sanitizer/asan_interface.h>
#define DMX_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define DMX_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define DMX_POISON(address, size) ((void)(address), (void)(size))
#define DMX_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

struct DMXSlotPool::Slab
{
    Slab *previous = nullptr;
    Slab *next = nullptr;
    // 1 + index of the first freed slot (each freed slot holds the next
    // link the same way); 0 when none is free.
    quint32 freeHead = 0;
    // Slots from here on have never been handed out.
    quint32 bump = 0;
    quint32 live = 0;
    // In the list of slabs with freed slots.
    bool listed = false;
};

namespace {

constexpr std::size_t roundUp(std::size_t value, std::size_t step)
{
    return (value + step - 1) / step * step;
}

} // namespace

DMXSlotPool::DMXSlotPool(std::size_t slotSize)
    : m_slotSize(roundUp(qMax<std::size_t>(slotSize, 4), 4))
    , m_headerSize(roundUp(sizeof(Slab), 16))
    , m_capacity(int((SlabSize - m_headerSize) / m_slotSize))
{}

DMXSlotPool::~DMXSlotPool()
{
    // Only reached for pools that are not process-wide: everything of theirs
    // must be back by now.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_current)
        freeSlab(m_current);
}

char *DMXSlotPool::slotAt(Slab *slab, quint32 index) const
{
    return reinterpret_cast<char *>(slab) + m_headerSize + std::size_t(index) * m_slotSize;
}

DMXSlotPool::Slab *DMXSlotPool::slabOf(const void *slot) const
{
    return reinterpret_cast<Slab *>(reinterpret_cast<quintptr>(slot) & ~quintptr(SlabSize - 1));
}

DMXSlotPool::Slab *DMXSlotPool::newSlab()
{
    void *memory = std::aligned_alloc(SlabSize, SlabSize);
    if (!memory)
        throw std::bad_alloc();
    auto *slab = new (memory) Slab;
    DMX_POISON(slotAt(slab, 0), std::size_t(m_capacity) * m_slotSize);
    return slab;
}

void DMXSlotPool::freeSlab(Slab *slab)
{
    DMX_UNPOISON(slotAt(slab, 0), std::size_t(m_capacity) * m_slotSize);
    slab->~Slab();
    std::free(slab);
}

void DMXSlotPool::link(Slab *slab)
{
    slab->previous = nullptr;
    slab->next = m_partial;
    if (m_partial)
        m_partial->previous = slab;
    m_partial = slab;
    slab->listed = true;
}

void DMXSlotPool::unlink(Slab *slab)
{
    if (!slab->listed)
        return;
    if (slab->previous)
        slab->previous->next = slab->next;
    else
        m_partial = slab->next;
    if (slab->next)
        slab->next->previous = slab->previous;
    slab->previous = slab->next = nullptr;
    slab->listed = false;
}

void DMXSlotPool::retireIfEmpty(Slab *slab)
{
    if (slab->live != 0)
        return;
    unlink(slab);
    if (slab == m_current) {
        // Keep it, as new.
        slab->freeHead = 0;
        slab->bump = 0;
        return;
    }
    freeSlab(slab);
}

void *DMXSlotPool::allocate()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    char *slot = nullptr;
    Slab *slab = m_partial;
    if (slab) {
        slot = slotAt(slab, slab->freeHead - 1);
        DMX_UNPOISON(slot, m_slotSize);
        std::memcpy(&slab->freeHead, slot, sizeof slab->freeHead);
        if (slab->freeHead == 0)
            unlink(slab);
    } else {
        if (!m_current || m_current->bump == quint32(m_capacity)) {
            Slab *old = m_current;
            m_current = newSlab();
            if (old)
                retireIfEmpty(old);
        }
        slab = m_current;
        slot = slotAt(slab, slab->bump++);
        DMX_UNPOISON(slot, m_slotSize);
    }
    ++slab->live;
    ++m_live;
    return slot;
}

void *DMXSlotPool::allocateRun(int count)
{
    if (count <= 0 || count > m_capacity)
        return nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_current || quint32(m_capacity) - m_current->bump < quint32(count)) {
        Slab *old = m_current;
        m_current = newSlab();
        if (old)
            retireIfEmpty(old);
    }
    char *first = slotAt(m_current, m_current->bump);
    m_current->bump += quint32(count);
    m_current->live += quint32(count);
    m_live += count;
    DMX_UNPOISON(first, std::size_t(count) * m_slotSize);
    return first;
}

void DMXSlotPool::releaseLocked(Slab *slab, void *slot)
{
    const auto index =
        quint32((static_cast<char *>(slot) - slotAt(slab, 0)) / std::ptrdiff_t(m_slotSize));
    std::memcpy(slot, &slab->freeHead, sizeof slab->freeHead);
    slab->freeHead = index + 1;
    DMX_POISON(slot, m_slotSize);
    --slab->live;
    --m_live;
}

void DMXSlotPool::release(void *slot)
{
    if (!slot)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    Slab *slab = slabOf(slot);
    releaseLocked(slab, slot);
    if (slab->live == 0)
        retireIfEmpty(slab);
    else if (!slab->listed)
        link(slab);
}

void DMXSlotPool::releaseRun(void *first, int count)
{
    if (!first || count <= 0)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    Slab *slab = slabOf(first);
    for (int i = 0; i < count; ++i)
        releaseLocked(slab, static_cast<char *>(first) + std::size_t(i) * m_slotSize);
    if (slab->live == 0)
        retireIfEmpty(slab);
    else if (!slab->listed)
        link(slab);
}

qint64 DMXSlotPool::liveSlots() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_live;
}
