#include "PCFReader.h"

#include "CFilePCF.h"
#include "PCFErrors.h"
#include "PCFFormat.h"

#include <QSet>
#include <QUuid>

namespace {

const QString systemListName = QStringLiteral("particleSystemDefinitions");
const QString childName = QStringLiteral("child");

// Smallest encoding of one array item, to refuse counts the file cannot hold.
int minimumItemSize(uint itemType, bool stringTable)
{
    switch (itemType) {
    case ATTRIBUTE_BOOLEAN:
        return 1;
    case ATTRIBUTE_STRING:
        return stringTable ? 2 : 1;
    case ATTRIBUTE_COLOR:
        return 4;
    default: {
        const int floats = DMX::floatCount(itemType);
        return floats > 0 ? floats * 4 : 4;
    }
    }
}

// Frees a partly read array without touching the elements it names.
void discardArray(uint type, void *list)
{
    if (type == ATTRIBUTE_ELEMENT_ARRAY)
        delete static_cast<DMXElementList *>(list);
    else
        DMX::deleteValue(type, list);
}

} // namespace

PCFReader::PCFReader(const QByteArray &bytes, CFilePCF *document)
    : m_document(document)
    , m_bytes(bytes)
    , m_in(bytes)
{}

bool PCFReader::read()
{
    const bool ok = readContents();
    // Whatever was read is freed with the document, also after a failure.
    QList<DMXElement *> unowned;
    for (int i = 1; i < m_owned.size() && i < m_document->elements.size(); ++i) {
        if (!m_owned[i])
            unowned.append(m_document->elements[i]);
    }
    m_document->setUnowned(unowned);
    return ok;
}

bool PCFReader::fail(const char *message)
{
    m_error = QString::fromLatin1(message);
    return false;
}

bool PCFReader::readContents()
{
    if (!readHeader() || !readDictionary() || !readElementHeaders() || !readElementBodies())
        return false;
    const DMXElement *root = m_document->root();
    if (root && !root->attributes.isEmpty()) {
        const DMXAttribute *first = root->attributes.first();
        if (first->name != systemListName || first->type != ATTRIBUTE_ELEMENT_ARRAY)
            return fail(PCFError::ReadUnexpectedAttribute);
    }
    return true;
}

bool PCFReader::readHeader()
{
    const int nul = m_bytes.indexOf('\0');
    const QByteArray line = nul < 0 ? m_bytes : m_bytes.left(nul);
    m_in.skip(nul < 0 ? m_bytes.size() : nul + 1);
    const QString header = QString::fromLatin1(line).trimmed();

    const int codes[] = {PCFFormat::Binary2Pcf1, PCFFormat::Binary3Pcf2, PCFFormat::Binary4Pcf2,
                         PCFFormat::Binary2Dmx1};
    int format = PCFFormat::None;
    for (int code : codes) {
        if (header == QLatin1String(PCFFormat::headerText(code)))
            format = code;
    }
    m_document->format = format;
    if (format == PCFFormat::Binary2Dmx1)
        return fail(PCFError::ReadUnsupported);
    if (format == PCFFormat::None)
        return fail(PCFError::ReadUnknownFormat);
    m_stringTable = PCFFormat::usesStringTable(format);
    return true;
}

QString PCFReader::readString()
{
    // A string without its NUL ran into the end of the file.
    const qint64 start = m_in.pos();
    const int nul = m_in.ok() ? m_bytes.indexOf('\0', int(start)) : -1;
    if (nul < 0) {
        m_in.fail();
        return QString();
    }
    const QByteArray bytes = m_bytes.mid(int(start), nul - int(start));
    m_in.skip(qint64(nul) - start + 1);
    return QString::fromLatin1(bytes).trimmed();
}

bool PCFReader::readDictionary()
{
    const qint64 count = m_stringTable ? qint64(m_in.i32()) : qint64(m_in.u16());
    if (!m_in.ok())
        return endOfFile();
    m_document->stringCount = int(count);
    if (count == 0)
        return fail(PCFError::ReadEmptyDictionary);
    if (count < 0)
        return fail(PCFError::ReadInvalidDictionary);
    if (!m_in.canHold(count, 1))
        return endOfFile();
    m_document->strings.reserve(int(count));
    for (qint64 i = 0; i < count; ++i) {
        const QString text = readString();
        if (!m_in.ok())
            return endOfFile();
        m_document->strings.append(text);
    }
    return true;
}

bool PCFReader::dictionaryEntry(QString *target, const char *outOfBounds)
{
    const quint16 index = m_in.u16();
    if (!m_in.ok())
        return endOfFile();
    if (index >= m_document->strings.size())
        return fail(outOfBounds);
    *target = m_document->strings.at(index);
    return true;
}

bool PCFReader::readElementHeaders()
{
    const qint32 count = m_in.i32();
    if (!m_in.ok())
        return endOfFile();
    m_document->elementCount = count;
    if (count == 0)
        return fail(PCFError::ReadEmptyElements);
    if (count < 0)
        return fail(PCFError::ReadInvalidElementCount);
    const int headerSize =
        m_stringTable ? PCFFormat::MinElementHeaderIndexed : PCFFormat::MinElementHeaderInline;
    if (!m_in.canHold(count, headerSize))
        return endOfFile();

    m_document->elements.reserve(count);
    m_owned.fill(false, count);
    m_forest.resize(count);
    for (int i = 0; i < count; ++i) {
        m_forest[i] = i;
        auto *element = new DMXElement;
        m_document->elements.append(element);
        element->typeIndex = m_in.u16();
        if (!m_in.ok())
            return endOfFile();
        if (element->typeIndex >= m_document->strings.size())
            return fail(PCFError::ReadTypeIndex);
        element->type = m_document->strings.at(element->typeIndex);
        if (m_stringTable) {
            element->nameIndex = m_in.u16();
            if (!m_in.ok())
                return endOfFile();
            if (element->nameIndex >= m_document->strings.size())
                return fail(PCFError::ReadNameIndex);
            element->name = m_document->strings.at(element->nameIndex);
        } else {
            element->name = readString();
        }
        const quint32 data1 = m_in.u32();
        const quint16 data2 = m_in.u16();
        const quint16 data3 = m_in.u16();
        uchar data4[8] = {};
        m_in.read(reinterpret_cast<char *>(data4), 8);
        if (!m_in.ok())
            return endOfFile();
        element->guid = QUuid(data1, data2, data3, data4[0], data4[1], data4[2], data4[3], data4[4],
                              data4[5], data4[6], data4[7]);
    }
    return true;
}

bool PCFReader::readElementBodies()
{
    const int count = m_document->elements.size();
    for (int i = 0; i < count; ++i) {
        DMXElement *element = m_document->elements[i];
        const qint32 attributes = m_in.i32();
        if (!m_in.ok())
            return endOfFile();
        element->attributeCount = attributes;
        if (attributes < 0)
            return fail(PCFError::ReadInvalidCount);
        if (!m_in.canHold(attributes, PCFFormat::MinAttributeSize))
            return endOfFile();
        element->attributes.reserve(attributes);
        for (int j = 0; j < attributes; ++j) {
            if (!readAttribute(i, j))
                return false;
        }
    }
    return true;
}

bool PCFReader::readAttribute(int elementIndex, int attributeIndex)
{
    DMXElement *element = m_document->elements[elementIndex];
    auto *attribute = new DMXAttribute;
    element->attributes.append(attribute);
    attribute->nameIndex = m_in.u16();
    if (!m_in.ok())
        return endOfFile();
    if (attribute->nameIndex >= m_document->strings.size())
        return fail(PCFError::ReadAttributeIndex);
    attribute->name = m_document->strings.at(attribute->nameIndex);
    const uint type = m_in.u8();
    if (!m_in.ok())
        return endOfFile();

    m_targets.clear();
    void *value = nullptr;
    if (!readValue(type, &value))
        return false;
    // Decide ownership before anything else can fail, so that a half-read
    // document frees each element once.
    const bool stored = attribute->setValue(type, value);
    if (stored && DMX::refersToElements(type)) {
        if (type == ATTRIBUTE_ELEMENT && attribute->name == childName)
            attribute->ownsValue = false;
        else
            attribute->ownsValue = claim(elementIndex, m_targets);
    }
    if (!stored) {
        m_error = QString::fromLatin1(PCFError::ReadSetValue).arg(elementIndex).arg(attributeIndex);
        return false;
    }
    return true;
}

bool PCFReader::readValue(uint type, void **value)
{
    *value = nullptr;
    switch (type) {
    case ATTRIBUTE_UNKNOWN:
        return true;
    case ATTRIBUTE_ELEMENT: {
        const qint32 position = m_in.i32();
        if (!m_in.ok())
            return endOfFile();
        if (position < 0 || position >= m_document->elements.size())
            return fail(PCFError::ReadElementIndex);
        m_targets.append(position);
        *value = m_document->elements[position];
        return true;
    }
    case ATTRIBUTE_INTEGER: {
        const qint32 number = m_in.i32();
        if (!m_in.ok())
            return endOfFile();
        *value = new qint32(number);
        return true;
    }
    case ATTRIBUTE_BOOLEAN: {
        const quint8 byte = m_in.u8();
        if (!m_in.ok())
            return endOfFile();
        *value = new bool(byte != 0);
        return true;
    }
    case ATTRIBUTE_STRING: {
        QString text;
        if (m_stringTable) {
            if (!dictionaryEntry(&text, PCFError::ReadStringIndex))
                return false;
        } else {
            text = readString();
            if (!m_in.ok())
                return endOfFile();
        }
        *value = new QString(text);
        return true;
    }
    case ATTRIBUTE_BINARY: {
        const qint32 size = m_in.i32();
        if (!m_in.ok())
            return endOfFile();
        if (size < 0)
            return fail(PCFError::ReadInvalidCount);
        if (!m_in.canRead(size))
            return endOfFile();
        *value = new DMXBinary(m_in.bytes(size));
        return true;
    }
    case ATTRIBUTE_TIME: {
        const qint32 ticks = m_in.i32();
        if (!m_in.ok())
            return endOfFile();
        *value = new float(DMX::ticksToSeconds(ticks));
        return true;
    }
    case ATTRIBUTE_COLOR: {
        DMXColor color{};
        m_in.read(reinterpret_cast<char *>(color.data()), 4);
        if (!m_in.ok())
            return endOfFile();
        *value = new DMXColor(color);
        return true;
    }
    default:
        break;
    }
    if (DMX::isArray(type))
        return readArray(type, value);
    if (const int floats = DMX::floatCount(type)) {
        if (!m_in.canRead(qint64(floats) * 4))
            return endOfFile();
        // A matrix starts as the identity; all of it is then read over.
        void *object = newDmxAttributeValue(type);
        auto *target = static_cast<float *>(object);
        for (int i = 0; i < floats; ++i)
            target[i] = m_in.f32();
        *value = object;
        return true;
    }
    // An unknown code carries one int32 and gives no value, which the caller
    // reports.
    m_in.i32();
    if (!m_in.ok())
        return endOfFile();
    return true;
}

bool PCFReader::readArray(uint type, void **value)
{
    const uint itemType = type - DMX::ArrayOffset;
    const qint32 count = m_in.i32();
    if (!m_in.ok())
        return endOfFile();
    if (count < 0)
        return fail(PCFError::ReadInvalidCount);
    if (!m_in.canHold(count, minimumItemSize(itemType, m_stringTable)))
        return endOfFile();

    void *list = newDmxAttributeValue(type);
    for (qint32 i = 0; i < count; ++i) {
        void *item = nullptr;
        if (!readValue(itemType, &item)) {
            discardArray(type, list);
            return false;
        }
        if (type == ATTRIBUTE_ELEMENT_ARRAY)
            static_cast<DMXElementList *>(list)->append(static_cast<DMXElement *>(item));
        else
            static_cast<DMXValueList *>(list)->append(item);
    }
    *value = list;
    return true;
}

int PCFReader::ownershipRoot(int element)
{
    int top = element;
    while (m_forest[top] != top)
        top = m_forest[top];
    while (m_forest[element] != top) {
        const int next = m_forest[element];
        m_forest[element] = top;
        element = next;
    }
    return top;
}

bool PCFReader::claim(int owner, const QVector<int> &targets)
{
    // An unowned element heads its own ownership tree; owning it from inside
    // that tree would close a cycle.
    const int ownerRoot = ownershipRoot(owner);
    QSet<int> distinct;
    for (int target : targets) {
        if (target == 0 || m_owned[target] || target == ownerRoot || distinct.contains(target))
            return false;
        distinct.insert(target);
    }
    for (int target : targets) {
        m_owned[target] = true;
        m_forest[target] = ownerRoot;
    }
    return true;
}
