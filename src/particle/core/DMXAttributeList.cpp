#include "DMXAttributeList.h"

#include "DMXAttribute.h"
#include "DMXSlotPool.h"

#include <new>

DMXAttributeList::DMXAttributeList(const DMXAttributeList &other)
{
    *this = other;
}

DMXAttributeList::DMXAttributeList(DMXAttributeList &&other) noexcept
    : m_data(other.m_data)
    , m_size(other.m_size)
    , m_capacity(other.m_capacity)
{
    other.m_data = nullptr;
    other.m_size = other.m_capacity = 0;
}

DMXAttributeList &DMXAttributeList::operator=(const DMXAttributeList &other)
{
    if (this != &other)
        *this = other.toList();
    return *this;
}

DMXAttributeList &DMXAttributeList::operator=(DMXAttributeList &&other) noexcept
{
    if (this != &other) {
        reset();
        m_data = other.m_data;
        m_size = other.m_size;
        m_capacity = other.m_capacity;
        other.m_data = nullptr;
        other.m_size = other.m_capacity = 0;
    }
    return *this;
}

DMXAttributeList &DMXAttributeList::operator=(const QList<DMXAttribute *> &list)
{
    reset();
    if (!list.isEmpty()) {
        auto *pointers = new QVector<DMXAttribute *>(list.cbegin(), list.cend());
        m_data = pointers;
        m_capacity = Loose;
    }
    return *this;
}

DMXAttributeList::~DMXAttributeList()
{
    reset();
}

void DMXAttributeList::releaseSpare()
{
    if (!isLoose() && m_capacity > m_size)
        DMXAttribute::pool().releaseRun(run() + m_size, m_capacity - m_size);
    if (!isLoose())
        m_capacity = m_size;
}

void DMXAttributeList::reset()
{
    if (isLoose())
        delete loose();
    else
        releaseSpare();
    m_data = nullptr;
    m_size = m_capacity = 0;
}

QVector<DMXAttribute *> *DMXAttributeList::makeLoose()
{
    if (isLoose())
        return loose();
    releaseSpare();
    auto *pointers = new QVector<DMXAttribute *>;
    pointers->reserve(m_size + 1);
    for (int i = 0; i < m_size; ++i)
        pointers->append(run() + i);
    m_data = pointers;
    m_size = 0;
    m_capacity = Loose;
    return pointers;
}

DMXAttribute *DMXAttributeList::at(int index) const
{
    Q_ASSERT(index >= 0 && index < size());
    return isLoose() ? loose()->at(index) : run() + index;
}

DMXAttribute *DMXAttributeList::value(int index) const
{
    return index >= 0 && index < size() ? at(index) : nullptr;
}

int DMXAttributeList::indexOf(const DMXAttribute *attribute) const
{
    if (isLoose())
        return loose()->indexOf(const_cast<DMXAttribute *>(attribute));
    const std::ptrdiff_t offset = attribute - run();
    return attribute && m_data && offset >= 0 && offset < m_size ? int(offset) : -1;
}

QList<DMXAttribute *> DMXAttributeList::toList() const
{
    QList<DMXAttribute *> out;
    out.reserve(size());
    for (DMXAttribute *attribute : *this)
        out.append(attribute);
    return out;
}

void DMXAttributeList::append(DMXAttribute *attribute)
{
    makeLoose()->append(attribute);
}

void DMXAttributeList::insert(int index, DMXAttribute *attribute)
{
    makeLoose()->insert(index, attribute);
}

void DMXAttributeList::removeAt(int index)
{
    makeLoose()->removeAt(index);
}

DMXAttribute *DMXAttributeList::takeAt(int index)
{
    return makeLoose()->takeAt(index);
}

int DMXAttributeList::removeAll(const DMXAttribute *attribute)
{
    if (!contains(attribute))
        return 0;
    return makeLoose()->removeAll(const_cast<DMXAttribute *>(attribute));
}

void DMXAttributeList::clear()
{
    reset();
}

void DMXAttributeList::reserveRun(int count)
{
    if (!isEmpty() || count <= 0 || count > DMXAttribute::pool().capacity())
        return;
    reset();
    m_data = DMXAttribute::pool().allocateRun(count);
    m_capacity = m_data ? count : 0;
}

DMXAttribute *DMXAttributeList::emplace()
{
    if (!isLoose() && m_size < m_capacity)
        return ::new (run() + m_size++) DMXAttribute;
    auto *attribute = new DMXAttribute;
    append(attribute);
    return attribute;
}

void DMXAttributeList::deleteAll()
{
    if (isLoose()) {
        // Taken out first, so that nothing freed below finds itself listed.
        QVector<DMXAttribute *> *pointers = loose();
        m_data = nullptr;
        m_capacity = 0;
        for (DMXAttribute *attribute : qAsConst(*pointers))
            delete attribute;
        delete pointers;
        return;
    }
    DMXAttribute *first = run();
    const int made = m_size;
    const int slots = m_capacity;
    m_data = nullptr;
    m_size = m_capacity = 0;
    for (int i = 0; i < made; ++i)
        first[i].~DMXAttribute();
    DMXAttribute::pool().releaseRun(first, slots);
}
