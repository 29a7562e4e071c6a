#include "DMXTypes.h"

#include "DMXElement.h"

#include <cmath>

namespace {

const char *const typeNames[DMX::TypeCount] = {
    "NULL",          "ELEMENT",          "INTEGER",         "FLOAT",
    "BOOLEAN",       "STRING",           "BINARY",          "TIME",
    "COLOR",         "VECTOR2",          "VECTOR3",         "VECTOR4",
    "QANGLE",        "QUATERNION",       "MATRIX",          "ELEMENT_ARRAY",
    "INTEGER_ARRAY", "FLOAT_ARRAY",      "BOOLEAN_ARRAY",   "STRING_ARRAY",
    "BINARY_ARRAY",  "TIME_ARRAY",       "COLOR_ARRAY",     "VECTOR2_ARRAY",
    "VECTOR3_ARRAY", "VECTOR4_ARRAY",    "QANGLE_ARRAY",    "QUATERNION_ARRAY",
    "MATRIX_ARRAY",
};

template <typename T>
T *copyOf(const void *value)
{
    return new T(*static_cast<const T *>(value));
}

} // namespace

QString DMX::typeName(uint type)
{
    if (type >= TypeCount)
        return QStringLiteral("UNKNOWN");
    return QString::fromLatin1(typeNames[type]);
}

uint DMX::typeFromName(const QString &name)
{
    for (uint type = 1; type < TypeCount; ++type) {
        if (name == QLatin1String(typeNames[type]))
            return type;
    }
    return 0;
}

qint32 DMX::secondsToTicks(float seconds)
{
    if (std::isnan(seconds))
        return 0;
    // The product in double is exact; the float seconds carry a relative
    // rounding error of 2^-24, so a tick that was read is within that of a
    // whole number.
    const double product = double(seconds) * 10000.0;
    const double nearest = std::round(product);
    const double tolerance = std::max(std::fabs(product), 1.0) * std::ldexp(1.0, -22);
    const double ticks = std::fabs(product - nearest) <= tolerance ? nearest : std::trunc(product);
    if (ticks >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (ticks <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(ticks);
}

float DMX::ticksToSeconds(qint32 ticks)
{
    return float(double(ticks) / 10000.0);
}

int DMX::floatCount(uint type)
{
    switch (type) {
    case ATTRIBUTE_FLOAT:
    case ATTRIBUTE_TIME:
        return 1;
    case ATTRIBUTE_VECTOR2:
        return 2;
    case ATTRIBUTE_VECTOR3:
    case ATTRIBUTE_QANGLE:
        return 3;
    case ATTRIBUTE_VECTOR4:
    case ATTRIBUTE_QUATERNION:
        return 4;
    case ATTRIBUTE_MATRIX:
        return 16;
    default:
        return 0;
    }
}

void *newDmxAttributeValue(uint type)
{
    switch (type) {
    case ATTRIBUTE_ELEMENT:
        return new DMXElement;
    case ATTRIBUTE_INTEGER:
        return new qint32(0);
    case ATTRIBUTE_FLOAT:
    case ATTRIBUTE_TIME:
        return new float(0.0f);
    case ATTRIBUTE_BOOLEAN:
        return new bool(false);
    case ATTRIBUTE_STRING:
        return new QString;
    case ATTRIBUTE_BINARY:
        return new DMXBinary;
    case ATTRIBUTE_COLOR:
        return new DMXColor{{0, 0, 0, 0}};
    case ATTRIBUTE_VECTOR2:
        return new DMXVector2{};
    case ATTRIBUTE_VECTOR3:
    case ATTRIBUTE_QANGLE:
        return new DMXVector3{};
    case ATTRIBUTE_VECTOR4:
    case ATTRIBUTE_QUATERNION:
        return new DMXVector4{};
    case ATTRIBUTE_MATRIX: {
        auto *matrix = new DMXMatrix{};
        (*matrix)[0] = (*matrix)[5] = (*matrix)[10] = (*matrix)[15] = 1.0f;
        return matrix;
    }
    case ATTRIBUTE_ELEMENT_ARRAY:
        return new DMXElementList;
    default:
        if (DMX::isArray(type))
            return new DMXValueList;
        return nullptr;
    }
}

void DMX::deleteValue(uint type, void *value)
{
    if (!value)
        return;
    switch (type) {
    case ATTRIBUTE_ELEMENT:
        delete static_cast<DMXElement *>(value);
        return;
    case ATTRIBUTE_INTEGER:
        delete static_cast<qint32 *>(value);
        return;
    case ATTRIBUTE_FLOAT:
    case ATTRIBUTE_TIME:
        delete static_cast<float *>(value);
        return;
    case ATTRIBUTE_BOOLEAN:
        delete static_cast<bool *>(value);
        return;
    case ATTRIBUTE_STRING:
        delete static_cast<QString *>(value);
        return;
    case ATTRIBUTE_BINARY:
        delete static_cast<DMXBinary *>(value);
        return;
    case ATTRIBUTE_COLOR:
        delete static_cast<DMXColor *>(value);
        return;
    case ATTRIBUTE_VECTOR2:
        delete static_cast<DMXVector2 *>(value);
        return;
    case ATTRIBUTE_VECTOR3:
    case ATTRIBUTE_QANGLE:
        delete static_cast<DMXVector3 *>(value);
        return;
    case ATTRIBUTE_VECTOR4:
    case ATTRIBUTE_QUATERNION:
        delete static_cast<DMXVector4 *>(value);
        return;
    case ATTRIBUTE_MATRIX:
        delete static_cast<DMXMatrix *>(value);
        return;
    case ATTRIBUTE_ELEMENT_ARRAY: {
        auto *list = static_cast<DMXElementList *>(value);
        for (DMXElement *element : qAsConst(*list))
            delete element;
        delete list;
        return;
    }
    default:
        if (isArray(type)) {
            auto *list = static_cast<DMXValueList *>(value);
            for (void *item : qAsConst(*list))
                deleteValue(type - ArrayOffset, item);
            delete list;
        }
        return;
    }
}

void *DMX::copyScalar(uint type, const void *value)
{
    if (!value)
        return nullptr;
    switch (type) {
    case ATTRIBUTE_INTEGER:
        return copyOf<qint32>(value);
    case ATTRIBUTE_FLOAT:
    case ATTRIBUTE_TIME:
        return copyOf<float>(value);
    case ATTRIBUTE_BOOLEAN:
        return copyOf<bool>(value);
    case ATTRIBUTE_STRING:
        return copyOf<QString>(value);
    case ATTRIBUTE_BINARY:
        return copyOf<DMXBinary>(value);
    case ATTRIBUTE_COLOR:
        return copyOf<DMXColor>(value);
    case ATTRIBUTE_VECTOR2:
        return copyOf<DMXVector2>(value);
    case ATTRIBUTE_VECTOR3:
    case ATTRIBUTE_QANGLE:
        return copyOf<DMXVector3>(value);
    case ATTRIBUTE_VECTOR4:
    case ATTRIBUTE_QUATERNION:
        return copyOf<DMXVector4>(value);
    case ATTRIBUTE_MATRIX:
        return copyOf<DMXMatrix>(value);
    default:
        return nullptr;
    }
}
