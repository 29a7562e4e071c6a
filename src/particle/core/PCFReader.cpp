#include "PCFReader.h"

#include "CFilePCF.h"
#include "PCFErrors.h"
#include "PCFFormat.h"
#include "functions.h"

#include <QUuid>

namespace {

const QString childName = QStringLiteral("child");

// A dictionary entry no attribute has used yet.
constexpr quint32 NoName = 0xffffffffu;
// Inline texts kept for sharing: enough for the names a file repeats, not a
// second copy of a file of distinct texts.
constexpr int SharedTexts = 4096;
constexpr int SharedTextLength = 64;

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

// Room for one fixed-size value as readFixed() leaves it.
union Scratch {
    float floats[16];
    qint32 integer;
    bool boolean;
    quint8 bytes[4];
};

} // namespace

PCFReader::PCFReader(const QByteArray &bytes, CFilePCF *document)
    : m_document(document)
    , m_in(bytes)
{}

PCFReader::PCFReader(QIODevice *device, CFilePCF *document)
    : m_document(document)
    , m_in(device)
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
    // The system list may stand anywhere among the root's attributes (the
    // engine's editor writes its own first).
    const DMXElement *root = m_document->root();
    if (root && !root->attributes.isEmpty() && !m_document->systemList())
        return fail(PCFError::ReadUnexpectedAttribute);
    return true;
}

bool PCFReader::readHeader()
{
    const QString header = trimmedAscii(QString::fromLatin1(m_in.takeLine()));
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

QString PCFReader::readText()
{
    int length = 0;
    const char *at = m_in.takeString(&length);
    if (!at)
        return QString();
    const auto shared = m_texts.constFind(QByteArray::fromRawData(at, length));
    if (shared != m_texts.constEnd())
        return shared.value();
    // UTF-8 text read as Latin-1 may end in 0x85 or 0xA0: not white space.
    const QString text = trimmedAscii(QString::fromLatin1(at, length));
    if (length <= SharedTextLength && m_texts.size() < SharedTexts)
        m_texts.insert(QByteArray(at, length), text);
    return text;
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
        int length = 0;
        const char *at = m_in.takeString(&length);
        if (!at)
            return endOfFile();
        m_document->strings.append(trimmedAscii(QString::fromLatin1(at, length)));
    }
    m_nameIds.fill(NoName, int(count));
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
    m_claimMarks.fill(0, count);
    m_forest.resize(count);
    const int dictionarySize = m_document->strings.size();
    for (int i = 0; i < count; ++i) {
        m_forest[i] = i;
        // The GUID comes last in the header: no random one is made first.
        auto *element = new DMXElement(QUuid());
        m_document->elements.append(element);
        element->typeIndex = m_in.u16();
        if (!m_in.ok())
            return endOfFile();
        if (element->typeIndex >= dictionarySize)
            return fail(PCFError::ReadTypeIndex);
        element->type = m_document->strings.at(element->typeIndex);
        if (m_stringTable) {
            element->nameIndex = m_in.u16();
            if (!m_in.ok())
                return endOfFile();
            if (element->nameIndex >= dictionarySize)
                return fail(PCFError::ReadNameIndex);
            element->name = m_document->strings.at(element->nameIndex);
        } else {
            element->name = readText();
        }
        const auto *guid = reinterpret_cast<const uchar *>(m_in.take(PCFFormat::GuidSize));
        if (!guid)
            return endOfFile();
        element->guid =
            QUuid(qFromLittleEndian<quint32>(guid), qFromLittleEndian<quint16>(guid + 4),
                  qFromLittleEndian<quint16>(guid + 6), guid[8], guid[9], guid[10], guid[11],
                  guid[12], guid[13], guid[14], guid[15]);
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
        // The element's attributes side by side, each made as it is read.
        element->attributes.reserveRun(attributes);
        for (int j = 0; j < attributes; ++j) {
            if (!readAttribute(i, j, element->attributes.emplace()))
                return false;
        }
    }
    return true;
}

bool PCFReader::readAttribute(int elementIndex, int attributeIndex, DMXAttribute *attribute)
{
    const quint16 nameIndex = m_in.u16();
    if (!m_in.ok())
        return endOfFile();
    if (nameIndex >= m_nameIds.size())
        return fail(PCFError::ReadAttributeIndex);
    quint32 &nameId = m_nameIds[nameIndex];
    if (nameId == NoName) {
        nameId = DMXNames::intern(m_document->strings.at(nameIndex));
        if (nameId >= DMXNames::Capacity) {
            nameId = NoName;
            return fail(PCFError::ReadTooManyNames);
        }
    }
    attribute->setNameId(nameId);
    const uint type = m_in.u8();
    if (!m_in.ok())
        return endOfFile();

    m_targets.clear();
    bool stored = true;
    if (!readValue(attribute, type, &stored))
        return false;
    // Decide ownership before anything else can fail, so that a half-read
    // document frees each element once.
    if (stored && DMX::refersToElements(type)) {
        if (type == ATTRIBUTE_ELEMENT && attribute->name() == childName)
            attribute->setOwnsValue(false);
        else
            attribute->setOwnsValue(claim(elementIndex, m_targets));
    }
    if (!stored) {
        m_error = QString::fromLatin1(PCFError::ReadSetValue).arg(elementIndex).arg(attributeIndex);
        return false;
    }
    return true;
}

bool PCFReader::readValue(DMXAttribute *attribute, uint type, bool *stored)
{
    if (type == ATTRIBUTE_UNKNOWN)
        return true;
    if (DMXAttribute::storedInside(type)) {
        // The common case: a number read straight into the attribute.
        Scratch scratch;
        if (!readFixed(type, &scratch))
            return false;
        attribute->setInlineValue(type, &scratch);
        return true;
    }
    if (type >= DMX::TypeCount) {
        // An unknown code carries one int32 and gives no value, which the
        // caller reports.
        m_in.i32();
        if (!m_in.ok())
            return endOfFile();
        *stored = false;
        return true;
    }
    void *value = nullptr;
    if (!(DMX::isArray(type) ? readArray(type, &value) : readItem(type, &value)))
        return false;
    *stored = attribute->setValue(type, value);
    return true;
}

bool PCFReader::readFixed(uint type, void *scratch)
{
    auto *out = static_cast<Scratch *>(scratch);
    switch (type) {
    case ATTRIBUTE_INTEGER:
        out->integer = m_in.i32();
        break;
    case ATTRIBUTE_BOOLEAN:
        out->boolean = m_in.u8() != 0;
        break;
    case ATTRIBUTE_TIME:
        out->floats[0] = DMX::ticksToSeconds(m_in.i32());
        break;
    case ATTRIBUTE_COLOR: {
        const char *at = m_in.take(4);
        if (at)
            std::memcpy(out->bytes, at, 4);
        break;
    }
    default: {
        const int floats = DMX::floatCount(type);
        const char *at = m_in.take(qint64(floats) * 4);
        for (int i = 0; at && i < floats; ++i)
            out->floats[i] = qFromLittleEndian<float>(at + 4 * i);
        break;
    }
    }
    return m_in.ok() || endOfFile();
}

bool PCFReader::readItem(uint type, void **value)
{
    *value = nullptr;
    switch (type) {
    case ATTRIBUTE_ELEMENT: {
        const qint32 position = m_in.i32();
        if (!m_in.ok())
            return endOfFile();
        if (position == PCFFormat::NullElement)
            return true;
        if (position < 0 || position >= m_document->elements.size())
            return fail(PCFError::ReadElementIndex);
        m_targets.append(position);
        *value = m_document->elements[position];
        return true;
    }
    case ATTRIBUTE_STRING: {
        QString text;
        if (m_stringTable) {
            if (!dictionaryEntry(&text, PCFError::ReadStringIndex))
                return false;
        } else {
            text = readText();
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
        const char *at = m_in.take(size);
        if (!at)
            return endOfFile();
        *value = new DMXBinary(at, size);
        return true;
    }
    default: {
        Scratch scratch;
        if (!readFixed(type, &scratch))
            return false;
        *value = DMX::copyScalar(type, &scratch);
        return true;
    }
    }
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
    if (type == ATTRIBUTE_ELEMENT_ARRAY)
        static_cast<DMXElementList *>(list)->reserve(count);
    else
        static_cast<DMXValueList *>(list)->reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        void *item = nullptr;
        if (!readItem(itemType, &item)) {
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
    if (++m_claim == 0) {
        m_claimMarks.fill(0);
        m_claim = 1;
    }
    for (int target : targets) {
        if (target == 0 || m_owned[target] || target == ownerRoot ||
            m_claimMarks[target] == m_claim)
            return false;
        m_claimMarks[target] = m_claim;
    }
    for (int target : targets) {
        m_owned[target] = true;
        m_forest[target] = ownerRoot;
    }
    return true;
}
