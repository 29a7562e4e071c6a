#include "PCFWriter.h"

#include "CFilePCF.h"
#include "PCFErrors.h"
#include "PCFFormat.h"

#include <QtEndian>

#include <cstring>

PCFWriter::PCFWriter(CFilePCF *document, int version)
    : m_document(document)
    , m_version(version)
    , m_stringTable(PCFFormat::usesStringTable(version))
{}

bool PCFWriter::fail(const QString &message)
{
    m_error = message;
    return false;
}

void PCFWriter::u16(quint16 value)
{
    uchar bytes[2];
    qToLittleEndian(value, bytes);
    m_out.append(reinterpret_cast<const char *>(bytes), 2);
}

void PCFWriter::i32(qint32 value)
{
    uchar bytes[4];
    qToLittleEndian(quint32(value), bytes);
    m_out.append(reinterpret_cast<const char *>(bytes), 4);
}

void PCFWriter::f32(float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, 4);
    i32(qint32(bits));
}

void PCFWriter::string(const QString &text)
{
    // A NUL inside the text would end it early and shift everything after it.
    QByteArray bytes = text.toLatin1();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    m_out.append(bytes);
    m_out.append('\0');
}

int PCFWriter::intern(const QString &text)
{
    const auto found = m_dictionary.constFind(text);
    if (found != m_dictionary.constEnd())
        return found.value();
    const int index = m_document->strings.size();
    m_document->strings.append(text);
    m_dictionary.insert(text, index);
    return index;
}

void PCFWriter::rebuildDictionary()
{
    m_document->strings.clear();
    for (DMXElement *element : qAsConst(m_document->elements)) {
        if (!element)
            continue;
        element->typeIndex = quint16(intern(element->type));
        if (m_stringTable)
            element->nameIndex = quint16(intern(element->name));
        for (DMXAttribute *attribute : qAsConst(element->attributes)) {
            if (!attribute)
                continue;
            attribute->nameIndex = quint16(intern(attribute->name));
            if (m_stringTable && attribute->type == ATTRIBUTE_STRING && attribute->value)
                attribute->valueIndex =
                    quint16(intern(*static_cast<const QString *>(attribute->value)));
        }
    }
}

bool PCFWriter::write(QByteArray *out)
{
    const char *header = PCFFormat::headerText(m_version);
    if (!m_document)
        return fail(QString::fromLatin1(PCFError::WriteNoData));
    if (!header)
        return fail(QString::fromLatin1(PCFError::WriteInvalidVersion));
    const QList<DMXElement *> &elements = m_document->elements;
    if (elements.contains(nullptr))
        return fail(QString::fromLatin1(PCFError::WriteNoData));

    m_out.clear();
    m_out.append(header);
    u16(PCFFormat::HeaderTerminator);

    rebuildDictionary();
    const int entries = m_document->strings.size();
    if (m_stringTable) {
        if (entries > PCFFormat::MaxLongDictionary)
            return fail(QString::fromLatin1(PCFError::WriteTooManyStrings));
        i32(entries);
    } else {
        if (entries > PCFFormat::MaxShortDictionary)
            return fail(QString::fromLatin1(PCFError::WriteTooManyStrings));
        u16(quint16(entries));
    }
    for (const QString &text : qAsConst(m_document->strings))
        string(text);

    m_positions.clear();
    for (int i = elements.size() - 1; i >= 0; --i)
        m_positions.insert(elements[i], i);

    i32(elements.size());
    for (const DMXElement *element : elements) {
        u16(element->typeIndex);
        if (m_stringTable)
            u16(element->nameIndex);
        else
            string(element->name);
        const QUuid &guid = element->guid;
        i32(qint32(guid.data1));
        u16(guid.data2);
        u16(guid.data3);
        m_out.append(reinterpret_cast<const char *>(guid.data4), 8);
    }
    for (int i = 0; i < elements.size(); ++i) {
        const QList<DMXAttribute *> &attributes = elements[i]->attributes;
        i32(attributes.size());
        for (int j = 0; j < attributes.size(); ++j) {
            if (!writeAttribute(i, j, attributes[j]))
                return false;
        }
    }
    *out = m_out;
    return true;
}

bool PCFWriter::writeAttribute(int elementIndex, int attributeIndex, const DMXAttribute *attribute)
{
    const uint type = attribute ? attribute->type : uint(ATTRIBUTE_UNKNOWN);
    if (type == ATTRIBUTE_UNKNOWN || type >= DMX::TypeCount || !attribute->value)
        return fail(
            QString::fromLatin1(PCFError::WriteUnknownType).arg(elementIndex).arg(attributeIndex));
    u16(attribute->nameIndex);
    u8(quint8(type));

    if (type == ATTRIBUTE_ELEMENT) {
        const int position = m_positions.value(attribute->element(), -1);
        if (position < 0)
            return fail(QString::fromLatin1(PCFError::WriteUnreferenced)
                            .arg(elementIndex)
                            .arg(attributeIndex));
        i32(position);
        return true;
    }
    if (type == ATTRIBUTE_ELEMENT_ARRAY) {
        const DMXElementList *list = attribute->elementList();
        i32(list->size());
        for (int k = 0; k < list->size(); ++k) {
            const int position = m_positions.value(list->at(k), -1);
            if (position < 0)
                return fail(QString::fromLatin1(PCFError::WriteUnreferencedItem)
                                .arg(elementIndex)
                                .arg(attributeIndex)
                                .arg(k));
            i32(position);
        }
        return true;
    }
    if (type == ATTRIBUTE_STRING && m_stringTable) {
        const QString &text = *static_cast<const QString *>(attribute->value);
        const int index = m_dictionary.value(text, -1);
        if (index < 0)
            return fail(QString::fromLatin1(PCFError::WriteStringMissing)
                            .arg(text)
                            .arg(elementIndex)
                            .arg(attributeIndex));
        u16(quint16(index));
        return true;
    }
    if (type == ATTRIBUTE_STRING_ARRAY && m_stringTable)
        return fail(QString::fromLatin1(PCFError::WriteStringArray));
    if (DMX::isArray(type)) {
        const DMXValueList *list = attribute->valueList();
        i32(list->size());
        for (const void *item : *list) {
            if (!writeScalar(type - DMX::ArrayOffset, item))
                return fail(QString::fromLatin1(PCFError::WriteUnknownType)
                                .arg(elementIndex)
                                .arg(attributeIndex));
        }
        return true;
    }
    writeScalar(type, attribute->value);
    return true;
}

bool PCFWriter::writeScalar(uint type, const void *value)
{
    if (!value)
        return false;
    switch (type) {
    case ATTRIBUTE_INTEGER:
        i32(*static_cast<const qint32 *>(value));
        return true;
    case ATTRIBUTE_BOOLEAN:
        u8(*static_cast<const bool *>(value) ? 1 : 0);
        return true;
    case ATTRIBUTE_STRING:
        string(*static_cast<const QString *>(value));
        return true;
    case ATTRIBUTE_BINARY: {
        const auto *bytes = static_cast<const DMXBinary *>(value);
        i32(bytes->size());
        m_out.append(*bytes);
        return true;
    }
    case ATTRIBUTE_TIME:
        i32(DMX::secondsToTicks(*static_cast<const float *>(value)));
        return true;
    case ATTRIBUTE_COLOR:
        m_out.append(reinterpret_cast<const char *>(static_cast<const DMXColor *>(value)->data()),
                     4);
        return true;
    default: {
        const int floats = DMX::floatCount(type);
        const auto *components = static_cast<const float *>(value);
        for (int i = 0; i < floats; ++i)
            f32(components[i]);
        return floats > 0;
    }
    }
}
