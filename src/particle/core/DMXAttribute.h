#pragma once

#include "DMXNames.h"
#include "DMXSlotPool.h"
#include "DMXTypes.h"

#include <QString>

#include <cstddef>

// One named, typed attribute of an element: twelve bytes, since a large file
// holds millions of them. The name is a number in the program's name table;
// a value of four or eight bytes (INTEGER, FLOAT, TIME, BOOLEAN, COLOR,
// VECTOR2) that the attribute owns sits inside the attribute; any other value
// is a heap object of the type (see DMXTypes.h) that the attribute points to.
// value() gives the value object either way; it is null only for type 0 and
// for an ELEMENT that refers to no element (the format's null reference).
//
// With ownsValue() the attribute frees its value, and for ELEMENT and
// ELEMENT_ARRAY the elements it points to. An ELEMENT_ARRAY's list object
// always belongs to its attribute; without ownsValue() only the elements in
// it are left alone. A "child" reference from a "DmeParticleChild" to its
// system owns nothing: every system is owned once, by the root's list.
//
// Attributes are allocated from a pool of twelve-byte slots (see
// DMXSlotPool); new and delete work as usual.
// LeakSanitizer finds pointers only on 8-byte boundaries, and a value pointer
// of a packed attribute may sit on a 4-byte one: under the sanitizers the
// value is aligned to 8 (sixteen-byte attributes), so that what the values
// point to counts as reachable there as it is.
#if defined(__SANITIZE_ADDRESS__)
#define DMX_VALUE_ALIGNMENT 8
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DMX_VALUE_ALIGNMENT 8
#endif
#endif
#ifndef DMX_VALUE_ALIGNMENT
#define DMX_VALUE_ALIGNMENT 4
#endif

class DMXAttribute
{
public:
    DMXAttribute() = default;
    ~DMXAttribute();
    DMXAttribute(const DMXAttribute &) = delete;
    DMXAttribute &operator=(const DMXAttribute &) = delete;

    static void *operator new(std::size_t) { return pool().allocate(); }
    static void operator delete(void *slot) { pool().release(slot); }
    // The pool the attributes come from (DMXAttributeList takes runs of it).
    static DMXSlotPool &pool() { return DMXSlotPool::of<DMXAttribute>(); }

    const QString &name() const { return DMXNames::text(nameId()); }
    // False (the name unchanged) only when the program's name table is full.
    bool setName(const QString &name);
    quint32 nameId() const { return m_bits & NameMask; }
    void setNameId(quint32 id) { m_bits = (m_bits & ~NameMask) | (id & NameMask); }

    uint type() const { return (m_bits >> TypeShift) & TypeMask; }
    bool ownsValue() const { return m_bits & OwnsBit; }
    void setOwnsValue(bool owns) { m_bits = owns ? m_bits | OwnsBit : m_bits & ~OwnsBit; }

    // The value object of the type, or null for type 0.
    void *value() const;

    // Frees the old value when owned, then stores the new one, which the
    // attribute takes over (ownsValue() is left as it is): an owned small
    // value is copied inside and its object freed at once. A null ELEMENT is
    // the null reference; any other nonzero type with a null value, and a
    // code above 28, are refused: the attribute is left of type 0 and false
    // is returned.
    bool setValue(uint newType, void *newValue);
    // Stores a small value (INTEGER, FLOAT, TIME, BOOLEAN, COLOR, VECTOR2)
    // inside the attribute from its bytes, freeing the old value when owned;
    // the reader's way, with no heap object on the way.
    void setInlineValue(uint newType, const void *bytes);
    // Points an ELEMENT attribute at another element, or replaces the list
    // object of an array, without freeing anything: for code that re-links
    // copies. Ignored for other types.
    void setPointer(void *object);

    // A deep copy of name, ownership flag, type and value (an element value is
    // cloned with its GUIDs).
    DMXAttribute *clone() const;
    // The same into an attribute just made (e.g. in a run of a list).
    void copyInto(DMXAttribute *copy) const;
    // A copy of one value object; null for type 0 and array codes.
    static void *cloneValue(const void *source, uint valueType);

    // The value as one line of text, as the editor shows it.
    QString valueString() const;
    // Parses edited text into the existing value, in place. A null QString on
    // success, otherwise the reason; the value is unchanged after a failure.
    QString setValueFromString(const QString &text);

    // Typed views of the value; null when the type does not match.
    DMXElement *element() const;
    DMXElementList *elementList() const;
    DMXValueList *valueList() const;
    // Items of an array value; -1 for a scalar.
    int itemCount() const;

    // Types whose owned values sit inside the attribute.
    static bool storedInside(uint type);

private:
    static constexpr quint32 NameMask = DMXNames::Capacity - 1;
    static constexpr int TypeShift = 25;
    static constexpr quint32 TypeMask = 0x1f;
    static constexpr quint32 OwnsBit = quint32(1) << 30;
    // The value is a pointer to an object (else it sits in m_storage).
    static constexpr quint32 PointerBit = quint32(1) << 31;

    void freeValue();
    void setType(uint newType)
    {
        m_bits = (m_bits & ~(TypeMask << TypeShift)) | (newType << TypeShift);
    }
    void *pointer() const;
    void storePointer(void *object);

    // A small value, or (with PointerBit) the pointer to the value object.
    alignas(DMX_VALUE_ALIGNMENT) quint32 m_storage[2] = {0, 0};
    // Name number, type code, ownership and where the value is.
    quint32 m_bits = OwnsBit;
};

// A non-owning attribute over an existing value: the shape of a "child" link,
// and of the stand-alone wrappers the editor makes for array items. Meant for
// item types: an ELEMENT_ARRAY's list object would go with the wrapper.
DMXAttribute *newDmxAttribute(uint type, void *value, const QString &name);
