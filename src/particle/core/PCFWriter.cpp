#include "PCFWriter.h"

#include "CFilePCF.h"
#include "PCFErrors.h"
#include "PCFFormat.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace {

// Name numbers below this find their dictionary position in a vector; the
// rare larger ones (a session that met very many names) in a hash.
constexpr quint32 DirectNameSlots = quint32(1) << 18;
constexpr int NoPosition = -1;

quint64 mix(const void *pointer)
{
    return (quint64(reinterpret_cast<quintptr>(pointer)) >> 3) * 0x9E3779B97F4A7C15ull;
}

} // namespace

// The bytes on their way out: gathered in a buffer of fixed size that goes to
// the device, or to a byte array, whenever it is full.
class PCFWriter::Sink
{
public:
    static constexpr qint64 Capacity = qint64(1) << 20;

    Sink(QIODevice *device, QByteArray *array)
        : m_buffer(new char[Capacity])
        , m_device(device)
        , m_array(array)
    {}

    void put(const void *data, qint64 n)
    {
        if (n <= Capacity - m_used) {
            std::memcpy(m_buffer.get() + m_used, data, size_t(n));
            m_used += n;
            return;
        }
        flush();
        if (n <= Capacity) {
            std::memcpy(m_buffer.get(), data, size_t(n));
            m_used = n;
        } else {
            deliver(static_cast<const char *>(data), n);
        }
    }
    void u8(quint8 value) { put(&value, 1); }
    void u16(quint16 value)
    {
        uchar bytes[2];
        qToLittleEndian(value, bytes);
        put(bytes, 2);
    }
    void i32(qint32 value)
    {
        uchar bytes[4];
        qToLittleEndian(quint32(value), bytes);
        put(bytes, 4);
    }
    void f32(float value)
    {
        quint32 bits;
        std::memcpy(&bits, &value, 4);
        i32(qint32(bits));
    }
    // The text's 8-bit characters (others as '?', as toLatin1() gives them)
    // and a NUL. A NUL inside the text would end it early and shift
    // everything after it, so the text stops there.
    void text(const QString &value)
    {
        const ushort *at = value.utf16();
        const ushort *end = at + value.size();
        while (at < end) {
            if (m_used == Capacity)
                flush();
            char *out = m_buffer.get() + m_used;
            const qint64 room = qMin<qint64>(Capacity - m_used, end - at);
            for (qint64 i = 0; i < room; ++i) {
                const ushort c = at[i];
                if (c == 0) {
                    m_used += i;
                    u8(0);
                    return;
                }
                out[i] = c < 0x100 ? char(c) : '?';
            }
            m_used += room;
            at += room;
        }
        u8(0);
    }
    // Sends what is left; true when everything went out.
    bool finish()
    {
        flush();
        return m_ok;
    }

private:
    void flush()
    {
        deliver(m_buffer.get(), m_used);
        m_used = 0;
    }
    void deliver(const char *data, qint64 n)
    {
        if (n <= 0 || !m_ok)
            return;
        if (m_device)
            m_ok = m_device->write(data, n) == n;
        else
            m_array->append(data, int(n));
    }

    std::unique_ptr<char[]> m_buffer;
    qint64 m_used = 0;
    QIODevice *m_device;
    QByteArray *m_array;
    bool m_ok = true;
};

PCFWriter::PCFWriter(CFilePCF *document, int version)
    : m_document(document)
    , m_version(version)
    , m_stringTable(PCFFormat::usesStringTable(version))
{}

PCFWriter::~PCFWriter() = default;

bool PCFWriter::fail(const QString &message)
{
    m_error = message;
    return false;
}

int PCFWriter::intern(const QString &text)
{
    if (text.constData() == m_lastText && text.size() == m_lastLength)
        return m_lastIndex;
    auto found = m_dictionary.constFind(text);
    if (found == m_dictionary.constEnd()) {
        const int index = m_document->strings.size();
        m_document->strings.append(text);
        found = m_dictionary.insert(text, index);
    }
    m_lastText = text.constData();
    m_lastLength = text.size();
    m_lastIndex = found.value();
    return m_lastIndex;
}

int PCFWriter::internName(const DMXAttribute *attribute)
{
    const quint32 id = attribute->nameId();
    if (id >= DirectNameSlots)
        return intern(attribute->name());
    while (id >= quint32(m_nameSlots.size()))
        m_nameSlots.append(NoPosition);
    int &slot = m_nameSlots[int(id)];
    if (slot == NoPosition)
        slot = intern(attribute->name());
    return slot;
}

void PCFWriter::rebuildDictionary()
{
    m_document->strings.clear();
    m_dictionary.clear();
    m_nameSlots.clear();
    m_lastText = nullptr;
    m_lastLength = -1;
    for (DMXElement *element : qAsConst(m_document->elements)) {
        element->typeIndex = quint16(intern(element->type));
        if (m_stringTable)
            element->nameIndex = quint16(intern(element->name));
        for (const DMXAttribute *attribute : element->attributes) {
            if (!attribute)
                continue;
            internName(attribute);
            if (m_stringTable && attribute->type() == ATTRIBUTE_STRING && attribute->value())
                intern(*static_cast<const QString *>(attribute->value()));
        }
    }
}

void PCFWriter::buildPositions()
{
    const QList<DMXElement *> &elements = m_document->elements;
    int tableSize = 16;
    while (tableSize < elements.size() * 2)
        tableSize *= 2;
    m_positions.fill(NoPosition, tableSize);
    m_shift = 64;
    for (int bits = tableSize; bits > 1; bits /= 2)
        --m_shift;
    const quint64 mask = quint64(tableSize - 1);
    for (int i = 0; i < elements.size(); ++i) {
        for (quint64 at = mix(elements[i]) >> m_shift;; at = (at + 1) & mask) {
            int &slot = m_positions[int(at)];
            if (slot == NoPosition) {
                slot = i;
                break;
            }
            // A repeat keeps its first position.
            if (elements[slot] == elements[i])
                break;
        }
    }
}

bool PCFWriter::positionOf(const DMXElement *element, int *position) const
{
    const QList<DMXElement *> &elements = m_document->elements;
    const quint64 mask = quint64(m_positions.size() - 1);
    for (quint64 at = mix(element) >> m_shift;; at = (at + 1) & mask) {
        const int slot = m_positions[int(at)];
        if (slot == NoPosition)
            return false;
        if (elements[slot] == element) {
            *position = slot;
            return true;
        }
    }
}

bool PCFWriter::elementPosition(const DMXElement *element, int *position) const
{
    if (!element) {
        *position = PCFFormat::NullElement;
        return true;
    }
    return positionOf(element, position);
}

bool PCFWriter::prepare()
{
    m_prepared = false;
    if (!m_document)
        return fail(QString::fromLatin1(PCFError::WriteNoData));
    if (!PCFFormat::headerText(m_version))
        return fail(QString::fromLatin1(PCFError::WriteInvalidVersion));
    const QList<DMXElement *> &elements = m_document->elements;
    if (elements.contains(nullptr))
        return fail(QString::fromLatin1(PCFError::WriteNoData));

    rebuildDictionary();
    const int entries = m_document->strings.size();
    if (entries > (m_stringTable ? PCFFormat::MaxLongDictionary : PCFFormat::MaxShortDictionary))
        return fail(QString::fromLatin1(PCFError::WriteTooManyStrings));

    buildPositions();
    m_lookups.clear();
    for (int i = 0; i < elements.size(); ++i) {
        int j = 0;
        for (const DMXAttribute *attribute : elements[i]->attributes) {
            if (!check(i, j++, attribute))
                return false;
        }
    }
    m_prepared = true;
    return true;
}

bool PCFWriter::check(int elementIndex, int attributeIndex, const DMXAttribute *attribute)
{
    const uint type = attribute ? attribute->type() : uint(ATTRIBUTE_UNKNOWN);
    // A null ELEMENT is the null reference, the one value that may be null.
    if (type == ATTRIBUTE_UNKNOWN || type >= DMX::TypeCount ||
        (!attribute->value() && type != ATTRIBUTE_ELEMENT))
        return fail(
            QString::fromLatin1(PCFError::WriteUnknownType).arg(elementIndex).arg(attributeIndex));
    int position = NoPosition;
    if (type == ATTRIBUTE_ELEMENT) {
        if (!elementPosition(attribute->element(), &position))
            return fail(QString::fromLatin1(PCFError::WriteUnreferenced)
                            .arg(elementIndex)
                            .arg(attributeIndex));
        m_lookups.append(position);
    } else if (type == ATTRIBUTE_ELEMENT_ARRAY) {
        const DMXElementList *list = attribute->elementList();
        for (int k = 0; k < list->size(); ++k) {
            if (!elementPosition(list->at(k), &position))
                return fail(QString::fromLatin1(PCFError::WriteUnreferencedItem)
                                .arg(elementIndex)
                                .arg(attributeIndex)
                                .arg(k));
            m_lookups.append(position);
        }
    } else if (type == ATTRIBUTE_STRING && m_stringTable) {
        const QString &text = *static_cast<const QString *>(attribute->value());
        const int index = m_dictionary.value(text, NoPosition);
        if (index < 0)
            return fail(QString::fromLatin1(PCFError::WriteStringMissing)
                            .arg(text)
                            .arg(elementIndex)
                            .arg(attributeIndex));
        m_lookups.append(index);
    } else if (type == ATTRIBUTE_STRING_ARRAY && m_stringTable) {
        return fail(QString::fromLatin1(PCFError::WriteStringArray));
    } else if (const DMXValueList *list = attribute->valueList()) {
        if (list->contains(nullptr))
            return fail(QString::fromLatin1(PCFError::WriteUnknownType)
                            .arg(elementIndex)
                            .arg(attributeIndex));
    }
    return true;
}

bool PCFWriter::write(QByteArray *out)
{
    if (!prepare())
        return false;
    QByteArray bytes;
    Sink sink(nullptr, &bytes);
    encodeInto(sink);
    *out = bytes;
    return true;
}

bool PCFWriter::encode(QIODevice *device)
{
    if (!m_prepared || !device)
        return false;
    Sink sink(device, nullptr);
    return encodeInto(sink);
}

bool PCFWriter::encodeInto(Sink &out)
{
    const char *header = PCFFormat::headerText(m_version);
    out.put(header, qint64(std::strlen(header)));
    out.u16(PCFFormat::HeaderTerminator);

    const QStringList &strings = m_document->strings;
    if (m_stringTable)
        out.i32(strings.size());
    else
        out.u16(quint16(strings.size()));
    for (const QString &text : strings)
        out.text(text);

    const QList<DMXElement *> &elements = m_document->elements;
    out.i32(elements.size());
    for (const DMXElement *element : elements) {
        out.u16(element->typeIndex);
        if (m_stringTable)
            out.u16(element->nameIndex);
        else
            out.text(element->name);
        const QUuid &guid = element->guid;
        out.i32(qint32(guid.data1));
        out.u16(guid.data2);
        out.u16(guid.data3);
        out.put(guid.data4, 8);
    }
    int lookup = 0;
    for (const DMXElement *element : elements) {
        out.i32(element->attributes.size());
        for (const DMXAttribute *attribute : element->attributes)
            encodeAttribute(out, attribute, &lookup);
    }
    return out.finish();
}

void PCFWriter::encodeAttribute(Sink &out, const DMXAttribute *attribute, int *lookup)
{
    const uint type = attribute->type();
    out.u16(quint16(internName(attribute)));
    out.u8(quint8(type));
    if (type == ATTRIBUTE_ELEMENT) {
        out.i32(m_lookups[(*lookup)++]);
    } else if (const DMXElementList *elements = attribute->elementList()) {
        out.i32(elements->size());
        for (int k = 0; k < elements->size(); ++k)
            out.i32(m_lookups[(*lookup)++]);
    } else if (type == ATTRIBUTE_STRING && m_stringTable) {
        out.u16(quint16(m_lookups[(*lookup)++]));
    } else if (const DMXValueList *items = attribute->valueList()) {
        out.i32(items->size());
        for (const void *item : *items)
            encodeScalar(out, type - DMX::ArrayOffset, item);
    } else {
        encodeScalar(out, type, attribute->value());
    }
}

void PCFWriter::encodeScalar(Sink &out, uint type, const void *value)
{
    switch (type) {
    case ATTRIBUTE_INTEGER:
        out.i32(*static_cast<const qint32 *>(value));
        return;
    case ATTRIBUTE_BOOLEAN:
        out.u8(*static_cast<const bool *>(value) ? 1 : 0);
        return;
    case ATTRIBUTE_STRING:
        out.text(*static_cast<const QString *>(value));
        return;
    case ATTRIBUTE_BINARY: {
        const auto *bytes = static_cast<const DMXBinary *>(value);
        out.i32(bytes->size());
        out.put(bytes->constData(), bytes->size());
        return;
    }
    case ATTRIBUTE_TIME:
        out.i32(DMX::secondsToTicks(*static_cast<const float *>(value)));
        return;
    case ATTRIBUTE_COLOR:
        out.put(static_cast<const DMXColor *>(value)->data(), 4);
        return;
    default: {
        const int floats = DMX::floatCount(type);
        const auto *components = static_cast<const float *>(value);
        for (int i = 0; i < floats; ++i)
            out.f32(components[i]);
        return;
    }
    }
}
