#include "DMXAttribute.h"

#include "DMXElement.h"

#include <cstring>

static_assert(sizeof(DMXAttribute) == 12 || DMX_VALUE_ALIGNMENT == 8,
              "an attribute is three words");

namespace {

// Bytes of a value kept inside the attribute; 0 for the others.
std::size_t insideSize(uint type)
{
    switch (type) {
    case ATTRIBUTE_INTEGER:
    case ATTRIBUTE_FLOAT:
    case ATTRIBUTE_TIME:
    case ATTRIBUTE_COLOR:
        return 4;
    case ATTRIBUTE_BOOLEAN:
        return sizeof(bool);
    case ATTRIBUTE_VECTOR2:
        return sizeof(DMXVector2);
    default:
        return 0;
    }
}

} // namespace

DMXAttribute::~DMXAttribute()
{
    freeValue();
}

bool DMXAttribute::storedInside(uint type)
{
    return insideSize(type) > 0;
}

bool DMXAttribute::setName(const QString &newName)
{
    const quint32 id = DMXNames::intern(newName);
    if (id >= DMXNames::Capacity)
        return false;
    setNameId(id);
    return true;
}

void *DMXAttribute::pointer() const
{
    void *object = nullptr;
    std::memcpy(&object, m_storage, sizeof object);
    return object;
}

void DMXAttribute::storePointer(void *object)
{
    static_assert(sizeof object <= sizeof m_storage, "a pointer fits the value");
    m_storage[0] = m_storage[1] = 0;
    std::memcpy(m_storage, &object, sizeof object);
    m_bits |= PointerBit;
}

void *DMXAttribute::value() const
{
    if (type() == ATTRIBUTE_UNKNOWN)
        return nullptr;
    if (m_bits & PointerBit)
        return pointer();
    return const_cast<quint32 *>(m_storage);
}

void DMXAttribute::freeValue()
{
    const uint oldType = type();
    if (oldType != ATTRIBUTE_UNKNOWN && (m_bits & PointerBit)) {
        void *old = pointer();
        if (ownsValue())
            DMX::deleteValue(oldType, old);
        else if (oldType == ATTRIBUTE_ELEMENT_ARRAY)
            // The list object is the attribute's own even when the elements
            // are not.
            delete static_cast<DMXElementList *>(old);
    }
    setType(ATTRIBUTE_UNKNOWN);
    m_bits &= ~PointerBit;
    m_storage[0] = m_storage[1] = 0;
}

bool DMXAttribute::setValue(uint newType, void *newValue)
{
    freeValue();
    if (newType == ATTRIBUTE_UNKNOWN)
        return true;
    // A null ELEMENT is the format's null reference; any other value is an
    // object.
    if ((!newValue && newType != ATTRIBUTE_ELEMENT) || newType >= DMX::TypeCount)
        return false;
    setType(newType);
    if (ownsValue() && storedInside(newType)) {
        std::memcpy(m_storage, newValue, insideSize(newType));
        DMX::deleteValue(newType, newValue);
    } else {
        storePointer(newValue);
    }
    return true;
}

void DMXAttribute::setInlineValue(uint newType, const void *bytes)
{
    freeValue();
    const std::size_t size = insideSize(newType);
    if (size == 0)
        return;
    setType(newType);
    std::memcpy(m_storage, bytes, size);
}

void DMXAttribute::setPointer(void *object)
{
    if ((m_bits & PointerBit) && object && (type() == ATTRIBUTE_ELEMENT || DMX::isArray(type())))
        storePointer(object);
}

void DMXAttribute::copyInto(DMXAttribute *copy) const
{
    copy->setNameId(nameId());
    const uint valueType = type();
    if (!(m_bits & PointerBit) && valueType != ATTRIBUTE_UNKNOWN) {
        copy->setInlineValue(valueType, m_storage);
        copy->setOwnsValue(ownsValue());
        return;
    }
    copy->setOwnsValue(ownsValue());
    void *copied = nullptr;
    if (valueType == ATTRIBUTE_ELEMENT_ARRAY) {
        auto *list = new DMXElementList;
        if (const DMXElementList *source = elementList()) {
            list->reserve(source->size());
            for (const DMXElement *item : *source)
                list->append(item ? item->clone() : nullptr);
        }
        copied = list;
    } else if (DMX::isArray(valueType)) {
        auto *list = new DMXValueList;
        if (const DMXValueList *source = valueList()) {
            list->reserve(source->size());
            for (const void *item : *source)
                list->append(cloneValue(item, valueType - DMX::ArrayOffset));
        }
        copied = list;
    } else {
        copied = cloneValue(value(), valueType);
    }
    // A copy of a value is the copy's own to free, unless it is an element
    // the source did not own (a plain reference's copy belongs to nobody).
    const bool owns = ownsValue();
    copy->setOwnsValue(owns || !DMX::refersToElements(valueType));
    copy->setValue(valueType, copied);
    copy->setOwnsValue(owns);
}

DMXAttribute *DMXAttribute::clone() const
{
    auto *copy = new DMXAttribute;
    copyInto(copy);
    return copy;
}

void *DMXAttribute::cloneValue(const void *source, uint valueType)
{
    if (!source)
        return nullptr;
    if (valueType == ATTRIBUTE_ELEMENT)
        return static_cast<const DMXElement *>(source)->clone();
    return DMX::copyScalar(valueType, source);
}

DMXElement *DMXAttribute::element() const
{
    return type() == ATTRIBUTE_ELEMENT ? static_cast<DMXElement *>(pointer()) : nullptr;
}

DMXElementList *DMXAttribute::elementList() const
{
    return type() == ATTRIBUTE_ELEMENT_ARRAY ? static_cast<DMXElementList *>(pointer()) : nullptr;
}

DMXValueList *DMXAttribute::valueList() const
{
    const uint valueType = type();
    return (DMX::isArray(valueType) && valueType != ATTRIBUTE_ELEMENT_ARRAY)
               ? static_cast<DMXValueList *>(pointer())
               : nullptr;
}

int DMXAttribute::itemCount() const
{
    if (const DMXElementList *list = elementList())
        return list->size();
    if (const DMXValueList *list = valueList())
        return list->size();
    return -1;
}

DMXAttribute *newDmxAttribute(uint type, void *value, const QString &name)
{
    auto *attribute = new DMXAttribute;
    attribute->setName(name);
    // Not owning before the value comes: a wrapper points at the item itself.
    attribute->setOwnsValue(false);
    attribute->setValue(type, value);
    return attribute;
}
