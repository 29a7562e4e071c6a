#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <limits>

class DMXElement;

// Attribute type codes as stored in particle files (one byte there). Codes 15
// to 28 are the arrays of codes 1 to 14.
enum DMXAttributeType : uint {
    ATTRIBUTE_UNKNOWN = 0,
    ATTRIBUTE_ELEMENT = 1,
    ATTRIBUTE_INTEGER = 2,
    ATTRIBUTE_FLOAT = 3,
    ATTRIBUTE_BOOLEAN = 4,
    ATTRIBUTE_STRING = 5,
    ATTRIBUTE_BINARY = 6,
    ATTRIBUTE_TIME = 7,
    ATTRIBUTE_COLOR = 8,
    ATTRIBUTE_VECTOR2 = 9,
    ATTRIBUTE_VECTOR3 = 10,
    ATTRIBUTE_VECTOR4 = 11,
    ATTRIBUTE_QANGLE = 12,
    ATTRIBUTE_QUATERNION = 13,
    ATTRIBUTE_MATRIX = 14,
    ATTRIBUTE_ELEMENT_ARRAY = 15,
    ATTRIBUTE_INTEGER_ARRAY = 16,
    ATTRIBUTE_FLOAT_ARRAY = 17,
    ATTRIBUTE_BOOLEAN_ARRAY = 18,
    ATTRIBUTE_STRING_ARRAY = 19,
    ATTRIBUTE_BINARY_ARRAY = 20,
    ATTRIBUTE_TIME_ARRAY = 21,
    ATTRIBUTE_COLOR_ARRAY = 22,
    ATTRIBUTE_VECTOR2_ARRAY = 23,
    ATTRIBUTE_VECTOR3_ARRAY = 24,
    ATTRIBUTE_VECTOR4_ARRAY = 25,
    ATTRIBUTE_QANGLE_ARRAY = 26,
    ATTRIBUTE_QUATERNION_ARRAY = 27,
    ATTRIBUTE_MATRIX_ARRAY = 28,
};

namespace DMX {
// Distance between an item code and its array code.
constexpr uint ArrayOffset = 14;
// Number of known codes (0 to 28).
constexpr uint TypeCount = 29;
// maxDepth for the graph walks that should not stop early.
constexpr uint NoDepthLimit = std::numeric_limits<uint>::max();

inline bool isArray(uint type) { return type >= ATTRIBUTE_ELEMENT_ARRAY && type < TypeCount; }
// Item code of an array code; other codes come back unchanged.
inline uint itemType(uint type) { return isArray(type) ? type - ArrayOffset : type; }
// Array code of an item code 1 to 14; other codes come back unchanged.
inline uint arrayType(uint type)
{
    return (type >= ATTRIBUTE_ELEMENT && type <= ATTRIBUTE_MATRIX) ? type + ArrayOffset : type;
}
// ELEMENT or ELEMENT_ARRAY.
inline bool refersToElements(uint type)
{
    return type == ATTRIBUTE_ELEMENT || type == ATTRIBUTE_ELEMENT_ARRAY;
}

// "NULL" for 0, "ELEMENT" to "MATRIX_ARRAY" for 1 to 28, "UNKNOWN" above.
QString typeName(uint type);
// The first code from 1 to 28 whose display name equals the text; 0 for none.
uint typeFromName(const QString &name);

// Whole 1/10000 s ticks of a time in seconds, as files store them. A product
// within float rounding of a whole tick is taken as that tick before the
// truncation, so that a value read from a file is written back unchanged.
qint32 secondsToTicks(float seconds);
float ticksToSeconds(qint32 ticks);
} // namespace DMX

// The value objects of each type (an attribute keeps a small one it owns
// inside itself; see DMXAttribute):
//   ELEMENT        DMXElement
//   INTEGER        qint32
//   FLOAT, TIME    float (seconds for TIME)
//   BOOLEAN        bool
//   STRING         QString
//   BINARY         DMXBinary
//   COLOR          DMXColor (r, g, b, a)
//   VECTOR2..4     DMXVector2, DMXVector3, DMXVector4
//   QANGLE         DMXQAngle
//   QUATERNION     DMXQuaternion
//   MATRIX         DMXMatrix (16 floats in file order)
//   ELEMENT_ARRAY  DMXElementList (the elements themselves)
//   other arrays   DMXValueList of pointers to separate items of the item type
// Every item is its own heap object: the editor edits an item in place through
// its pointer.
using DMXBinary = QByteArray;
using DMXColor = std::array<quint8, 4>;
using DMXVector2 = std::array<float, 2>;
using DMXVector3 = std::array<float, 3>;
using DMXVector4 = std::array<float, 4>;
using DMXQAngle = std::array<float, 3>;
using DMXQuaternion = std::array<float, 4>;
using DMXMatrix = std::array<float, 16>;
using DMXElementList = QList<DMXElement *>;
using DMXValueList = QList<void *>;

// The default value of a type (zeros, empty text and lists, the identity
// matrix, a new unnamed element); null for type 0 and unknown codes.
void *newDmxAttributeValue(uint type);

namespace DMX {
// Frees a value object of the type: an ELEMENT's element, an ELEMENT_ARRAY's
// elements and list, another array's items and list. Null is ignored.
void deleteValue(uint type, void *value);
// A copy of a scalar value object (codes 2 to 14); null for other codes. An
// element is not copied here (DMXElement::clone does that).
void *copyScalar(uint type, const void *value);
// Number of floats of a float-based type (FLOAT, TIME, vectors, angles,
// quaternions, matrices); 0 for the others.
int floatCount(uint type);
} // namespace DMX
