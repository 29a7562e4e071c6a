#include "DMXNames.h"

#include <QHash>

#include <atomic>
#include <mutex>

namespace {

constexpr quint32 ChunkBits = 12;
constexpr quint32 ChunkSize = quint32(1) << ChunkBits;
constexpr quint32 ChunkCount = DMXNames::Capacity / ChunkSize;

// Texts sit in chunks that never move, so text() hands out references and
// reads without a lock; entering a name takes the lock.
struct Table
{
    Table()
    {
        for (auto &chunk : chunks)
            chunk.store(nullptr, std::memory_order_relaxed);
        enter(QString());
    }

    quint32 enter(const QString &name)
    {
        const quint32 id = count;
        std::atomic<QString *> &chunk = chunks[id >> ChunkBits];
        QString *texts = chunk.load(std::memory_order_relaxed);
        if (!texts) {
            texts = new QString[ChunkSize];
            chunk.store(texts, std::memory_order_release);
        }
        texts[id & (ChunkSize - 1)] = name;
        ids.insert(name, id);
        ++count;
        return id;
    }

    std::mutex mutex;
    QHash<QString, quint32> ids;
    quint32 count = 0;
    std::atomic<QString *> chunks[ChunkCount];
};

// Never destroyed: attributes of static documents may name themselves while
// the program ends.
Table &table()
{
    static Table *instance = new Table;
    return *instance;
}

} // namespace

namespace DMXNames {

quint32 intern(const QString &name)
{
    if (name.isEmpty())
        return 0;
    Table &names = table();
    std::lock_guard<std::mutex> lock(names.mutex);
    const auto found = names.ids.constFind(name);
    if (found != names.ids.constEnd())
        return found.value();
    if (names.count >= Capacity)
        return Capacity;
    return names.enter(name);
}

const QString &text(quint32 id)
{
    Table &names = table();
    const QString *texts =
        id < Capacity ? names.chunks[id >> ChunkBits].load(std::memory_order_acquire) : nullptr;
    if (!texts) {
        static const QString empty;
        return empty;
    }
    return texts[id & (ChunkSize - 1)];
}

bool hasRoom(quint32 count)
{
    Table &names = table();
    std::lock_guard<std::mutex> lock(names.mutex);
    return count <= Capacity - names.count;
}

} // namespace DMXNames
