#include "DMXAttribute.h"

#include "DMXElement.h"

DMXAttribute::DMXAttribute() = default;

DMXAttribute::~DMXAttribute()
{
    if (value)
        setValue(ATTRIBUTE_UNKNOWN, nullptr);
}

bool DMXAttribute::setValue(uint newType, void *newValue)
{
    if (ownsValue && type < DMX::TypeCount)
        DMX::deleteValue(type, value);
    else if (type == ATTRIBUTE_ELEMENT_ARRAY)
        // The list object is the attribute's own even when the elements are not.
        delete static_cast<DMXElementList *>(value);
    if (newType != ATTRIBUTE_UNKNOWN && !newValue) {
        type = ATTRIBUTE_UNKNOWN;
        value = nullptr;
        return false;
    }
    type = newType;
    value = newType == ATTRIBUTE_UNKNOWN ? nullptr : newValue;
    return true;
}

DMXAttribute *DMXAttribute::clone() const
{
    auto *copy = new DMXAttribute;
    copy->name = name;
    copy->ownsValue = ownsValue;
    void *copied = nullptr;
    if (type == ATTRIBUTE_ELEMENT_ARRAY) {
        auto *list = new DMXElementList;
        if (const DMXElementList *source = elementList()) {
            list->reserve(source->size());
            for (const DMXElement *item : *source)
                list->append(item ? item->clone() : nullptr);
        }
        copied = list;
    } else if (DMX::isArray(type)) {
        auto *list = new DMXValueList;
        if (const DMXValueList *source = valueList()) {
            list->reserve(source->size());
            for (const void *item : *source)
                list->append(cloneValue(item, type - DMX::ArrayOffset));
        }
        copied = list;
    } else {
        copied = cloneValue(value, type);
    }
    copy->setValue(type, copied);
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
    return type == ATTRIBUTE_ELEMENT ? static_cast<DMXElement *>(value) : nullptr;
}

DMXElementList *DMXAttribute::elementList() const
{
    return type == ATTRIBUTE_ELEMENT_ARRAY ? static_cast<DMXElementList *>(value) : nullptr;
}

DMXValueList *DMXAttribute::valueList() const
{
    return (DMX::isArray(type) && type != ATTRIBUTE_ELEMENT_ARRAY)
               ? static_cast<DMXValueList *>(value)
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
    attribute->name = name;
    attribute->setValue(type, value);
    attribute->ownsValue = false;
    return attribute;
}
