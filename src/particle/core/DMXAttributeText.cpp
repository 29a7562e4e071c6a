// The value text of an attribute: what the editor shows in its "Value" column
// and parses back after an edit.
#include "DMXAttribute.h"

#include "DMXElement.h"
#include "PCFErrors.h"
#include "functions.h"

#include <QStringList>

#include <algorithm>

namespace {

QString floatText(float value)
{
    return formatFloat(double(value), 6);
}

QString floatsText(const float *values, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts.append(floatText(values[i]));
    return parts.join(QLatin1Char(' '));
}

QStringList partsOf(const QString &text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool parseFloats(const QString &text, float *target, int count)
{
    const QStringList parts = partsOf(text);
    if (parts.size() != count)
        return false;
    QVector<float> parsed(count);
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        parsed[i] = parts[i].toFloat(&ok);
        if (!ok)
            return false;
    }
    std::copy(parsed.cbegin(), parsed.cend(), target);
    return true;
}

bool parseInteger(const QString &text, qint32 *target)
{
    const QStringList parts = partsOf(text);
    if (parts.size() != 1)
        return false;
    bool ok = false;
    const int parsed = parts[0].toInt(&ok, 10);
    if (ok)
        *target = parsed;
    return ok;
}

int hexDigit(QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c.unicode() - '0';
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        return c.unicode() - 'A' + 10;
    return -1;
}

bool parseBinary(const QString &text, DMXBinary *target)
{
    QString digits;
    for (const QChar c : text.toUpper()) {
        if (!c.isSpace())
            digits.append(c);
    }
    if (digits.isEmpty())
        return false;
    if (digits.size() % 2)
        digits.chop(1);
    DMXBinary bytes;
    bytes.reserve(digits.size() / 2);
    for (int i = 0; i < digits.size(); i += 2) {
        const int high = hexDigit(digits[i]);
        const int low = hexDigit(digits[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.append(char(high * 16 + low));
    }
    *target = bytes;
    return true;
}

} // namespace

QString DMXAttribute::valueString() const
{
    const uint valueType = type();
    void *object = value();
    if (!object || valueType == ATTRIBUTE_UNKNOWN || valueType >= DMX::TypeCount)
        return QString();
    if (DMX::isArray(valueType))
        return QStringLiteral("%1 Item(s)").arg(itemCount());
    switch (valueType) {
    case ATTRIBUTE_ELEMENT:
        return static_cast<const DMXElement *>(object)->name;
    case ATTRIBUTE_INTEGER:
        return QString::number(*static_cast<const qint32 *>(object));
    case ATTRIBUTE_BOOLEAN:
        return QString::number(*static_cast<const bool *>(object) ? 1 : 0);
    case ATTRIBUTE_STRING:
        return *static_cast<const QString *>(object);
    case ATTRIBUTE_BINARY: {
        // Two digits per byte, so that the shown text parses back to the same
        // bytes.
        const auto *bytes = static_cast<const DMXBinary *>(object);
        return QString::fromLatin1(bytes->toHex(' ').toUpper());
    }
    case ATTRIBUTE_COLOR: {
        const auto *color = static_cast<const DMXColor *>(object);
        return QStringLiteral("%1 %2 %3 %4")
            .arg((*color)[0])
            .arg((*color)[1])
            .arg((*color)[2])
            .arg((*color)[3]);
    }
    default:
        return floatsText(static_cast<const float *>(object), DMX::floatCount(valueType));
    }
}

QString DMXAttribute::setValueFromString(const QString &text)
{
    const uint valueType = type();
    void *object = value();
    if (valueType == ATTRIBUTE_UNKNOWN || valueType == ATTRIBUTE_ELEMENT ||
        valueType >= DMX::TypeCount || !object)
        return QString::fromLatin1(PCFError::TextUnknownType);
    if (DMX::isArray(valueType))
        return QString::fromLatin1(PCFError::TextArrayType);

    bool ok = false;
    switch (valueType) {
    case ATTRIBUTE_INTEGER:
        ok = parseInteger(text, static_cast<qint32 *>(object));
        break;
    case ATTRIBUTE_BOOLEAN: {
        qint32 number = 0;
        ok = parseInteger(text, &number);
        if (ok)
            *static_cast<bool *>(object) = number != 0;
        break;
    }
    case ATTRIBUTE_STRING: {
        // Files hold 8-bit text: keep only what survives that and stop at a NUL.
        QByteArray bytes = text.toLatin1();
        const int nul = bytes.indexOf('\0');
        if (nul >= 0)
            bytes.truncate(nul);
        *static_cast<QString *>(object) = QString::fromLatin1(bytes);
        ok = true;
        break;
    }
    case ATTRIBUTE_BINARY:
        ok = parseBinary(text, static_cast<DMXBinary *>(object));
        break;
    case ATTRIBUTE_TIME: {
        float seconds = 0.0f;
        ok = parseFloats(text, &seconds, 1);
        if (ok)
            *static_cast<float *>(object) = DMX::ticksToSeconds(DMX::secondsToTicks(seconds));
        break;
    }
    case ATTRIBUTE_COLOR: {
        const QStringList parts = partsOf(text);
        if (parts.size() != 4)
            break;
        DMXColor color{};
        ok = true;
        for (int i = 0; i < 4 && ok; ++i) {
            const int component = parts[i].toInt(&ok, 10);
            color[size_t(i)] = quint8(qBound(0, component, 255));
        }
        if (ok)
            *static_cast<DMXColor *>(object) = color;
        break;
    }
    default:
        ok = parseFloats(text, static_cast<float *>(object), DMX::floatCount(valueType));
        break;
    }
    return ok ? QString() : QString::fromLatin1(PCFError::TextParse);
}
