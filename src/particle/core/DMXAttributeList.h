#pragma once

#include <QList>
#include <QVector>

#include <iterator>

class DMXAttribute;

// An element's attributes, in order: a list of attribute pointers like a
// QList (it never frees an attribute on its own), stored for size. Attributes
// read from a file or copied are made in place, one after another, in a run
// of pool slots, and the list is just that run: no pointer per attribute.
// The first change that a run cannot take (an attribute made elsewhere, a
// removal, an insertion) turns the list into a vector of pointers to the
// same attributes, so an attribute never moves and pointers to it stay good.
class DMXAttributeList
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = DMXAttribute *;
        using difference_type = int;
        using pointer = DMXAttribute *const *;
        using reference = DMXAttribute *;

        const_iterator(const DMXAttributeList *list, int index)
            : m_list(list)
            , m_index(index)
        {}
        DMXAttribute *operator*() const { return m_list->at(m_index); }
        const_iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return m_index == other.m_index; }
        bool operator!=(const const_iterator &other) const { return m_index != other.m_index; }

    private:
        const DMXAttributeList *m_list;
        int m_index;
    };
    using iterator = const_iterator;

    DMXAttributeList() = default;
    // Copies hold the same attribute pointers.
    DMXAttributeList(const DMXAttributeList &other);
    DMXAttributeList(DMXAttributeList &&other) noexcept;
    DMXAttributeList &operator=(const DMXAttributeList &other);
    DMXAttributeList &operator=(DMXAttributeList &&other) noexcept;
    DMXAttributeList &operator=(const QList<DMXAttribute *> &list);
    // Gives back the slots of the run that hold no attribute; the attributes
    // themselves are the owner's to free (see deleteAll()).
    ~DMXAttributeList();

    int size() const { return isLoose() ? loose()->size() : m_size; }
    int count() const { return size(); }
    bool isEmpty() const { return size() == 0; }
    DMXAttribute *at(int index) const;
    DMXAttribute *operator[](int index) const { return at(index); }
    // Null for a position out of range.
    DMXAttribute *value(int index) const;
    DMXAttribute *first() const { return at(0); }
    DMXAttribute *last() const { return at(size() - 1); }
    int indexOf(const DMXAttribute *attribute) const;
    bool contains(const DMXAttribute *attribute) const { return indexOf(attribute) >= 0; }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }
    QList<DMXAttribute *> toList() const;

    void append(DMXAttribute *attribute);
    void prepend(DMXAttribute *attribute) { insert(0, attribute); }
    void insert(int index, DMXAttribute *attribute);
    void removeAt(int index);
    DMXAttribute *takeAt(int index);
    DMXAttribute *takeFirst() { return takeAt(0); }
    DMXAttribute *takeLast() { return takeAt(size() - 1); }
    // Takes out every occurrence; the number taken out.
    int removeAll(const DMXAttribute *attribute);
    // Forgets every attribute without freeing it.
    void clear();

    // Room for `count` attributes that emplace() makes one after another in
    // one run. For an empty list; a count a run cannot hold is ignored.
    void reserveRun(int count);
    // A new attribute (empty name, type 0, owning) at the end of the list:
    // in the run while it has room, otherwise on its own.
    DMXAttribute *emplace();
    // Frees every attribute, in list order, and empties the list.
    void deleteAll();

private:
    static constexpr int Loose = -1;

    bool isLoose() const { return m_capacity == Loose; }
    QVector<DMXAttribute *> *loose() const
    {
        return static_cast<QVector<DMXAttribute *> *>(m_data);
    }
    DMXAttribute *run() const { return static_cast<DMXAttribute *>(m_data); }
    QVector<DMXAttribute *> *makeLoose();
    void releaseSpare();
    void reset();

    // The run (packed) or the vector of pointers (loose).
    void *m_data = nullptr;
    // Packed: attributes made in the run.
    int m_size = 0;
    // Packed: slots of the run; Loose marks a vector.
    int m_capacity = 0;
};
