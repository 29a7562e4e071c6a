#pragma once

#include <QList>
#include <QSet>
#include <QVector>

#include <utility>
#include <vector>

// Clean-up for containers of owned heap objects: an object listed twice must
// be freed once.

namespace PointerContainersDetail {

// Keeps the first occurrence of each pointer (null included) and the order.
template <typename Container>
void removeDuplicates(Container &items)
{
    using Pointer = typename Container::value_type;
    QSet<Pointer> seen;
    Container kept;
    kept.reserve(int(items.size()));
    for (Pointer p : items) {
        if (!seen.contains(p)) {
            seen.insert(p);
            kept.push_back(p);
        }
    }
    if (kept.size() != items.size())
        items = std::move(kept);
}

// The container is emptied before anything is deleted, so a destructor that
// takes its object out of the very same container finds nothing to remove.
template <typename Container>
void deleteEach(Container &items)
{
    Container taken;
    std::swap(taken, items);
    removeDuplicates(taken);
    for (auto p : taken)
        delete p;
}

} // namespace PointerContainersDetail

template <typename T>
void removeDuplicatePointers(QList<T *> &items)
{
    PointerContainersDetail::removeDuplicates(items);
}

template <typename T>
void removeDuplicatePointers(QVector<T *> &items)
{
    PointerContainersDetail::removeDuplicates(items);
}

template <typename T>
void removeDuplicatePointers(std::vector<T *> &items)
{
    PointerContainersDetail::removeDuplicates(items);
}

// Deletes every distinct non-null element once and leaves the container empty.
template <typename T>
void deleteAll(QList<T *> &items)
{
    PointerContainersDetail::deleteEach(items);
}

template <typename T>
void deleteAll(QVector<T *> &items)
{
    PointerContainersDetail::deleteEach(items);
}

template <typename T>
void deleteAll(std::vector<T *> &items)
{
    PointerContainersDetail::deleteEach(items);
}
