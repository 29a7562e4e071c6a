#pragma once

#include "DMXTypes.h"

#include <QString>

// One named, typed attribute of an element. `value` points to a heap object of
// the type (see DMXTypes.h); it is null exactly when `type` is 0.
//
// With `ownsValue` set the attribute frees its value, and for ELEMENT and
// ELEMENT_ARRAY the elements it points to. An ELEMENT_ARRAY's list object
// always belongs to its attribute; without `ownsValue` only the elements in it
// are left alone. A "child" reference from a
// "DmeParticleChild" to its system owns nothing: every system is owned once,
// by the root's list.
class DMXAttribute
{
public:
    DMXAttribute();
    ~DMXAttribute();
    DMXAttribute(const DMXAttribute &) = delete;
    DMXAttribute &operator=(const DMXAttribute &) = delete;

    // Frees the old value when owned, then stores the new one, which the
    // attribute takes over (`ownsValue` is left as it is). A nonzero type with
    // a null value is refused: the attribute is left of type 0 and false is
    // returned.
    bool setValue(uint newType, void *newValue);

    // A deep copy of name, ownership flag, type and value (an element value is
    // cloned with its GUIDs). Indices of the copy are 0.
    DMXAttribute *clone() const;
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

    quint16 nameIndex = 0;
    quint16 valueIndex = 0;
    QString name;
    bool ownsValue = true;
    uint type = ATTRIBUTE_UNKNOWN;
    void *value = nullptr;
};

// A non-owning attribute over an existing value: the shape of a "child" link,
// and of the stand-alone wrappers the editor makes for array items. Meant for
// item types: an ELEMENT_ARRAY's list object would go with the wrapper.
DMXAttribute *newDmxAttribute(uint type, void *value, const QString &name);
