#include "ParticleBenchData.h"

#include "CFilePCF.h"

#include <QRandomGenerator>
#include <QVector>

#include <cstring>

namespace {

DMXAttribute *newList(const QString &name)
{
    auto *list = new DMXAttribute;
    list->setName(name);
    list->setValue(ATTRIBUTE_ELEMENT_ARRAY, new DMXElementList);
    return list;
}

DMXAttribute *newFloat(const QString &name, float value)
{
    auto *attribute = new DMXAttribute;
    attribute->setName(name);
    attribute->setValue(ATTRIBUTE_FLOAT, new float(value));
    return attribute;
}

// A bounds-checked cursor for the baseline walk: the checks any reader of an
// untrusted file makes, and nothing more.
class Cursor
{
public:
    explicit Cursor(const QByteArray &bytes)
        : m_at(bytes.constData())
        , m_end(bytes.constData() + bytes.size())
    {}
    bool ok() const { return m_ok; }
    bool skip(qint64 n)
    {
        if (!m_ok || n < 0 || n > m_end - m_at)
            return m_ok = false;
        m_at += n;
        return true;
    }
    quint32 u(int size)
    {
        quint32 value = 0;
        if (m_ok && size <= m_end - m_at)
            std::memcpy(&value, m_at, size_t(size)); // little-endian machine
        skip(size);
        return value;
    }
    qint32 i32() { return qint32(u(4)); }
    void string()
    {
        const char *nul =
            m_ok ? static_cast<const char *>(std::memchr(m_at, 0, size_t(m_end - m_at))) : nullptr;
        if (!nul)
            m_ok = false;
        else
            m_at = nul + 1;
    }

private:
    const char *m_at;
    const char *m_end;
    bool m_ok = true;
};

// Size of one fixed-size value of the item type, or 0 for the others.
int fixedSize(uint type)
{
    switch (type) {
    case ATTRIBUTE_ELEMENT:
    case ATTRIBUTE_INTEGER:
    case ATTRIBUTE_TIME:
    case ATTRIBUTE_COLOR:
        return 4;
    case ATTRIBUTE_BOOLEAN:
        return 1;
    default:
        return DMX::floatCount(type) * 4;
    }
}

bool walkValue(Cursor &in, uint type, bool indexed)
{
    if (type == ATTRIBUTE_STRING) {
        if (indexed)
            in.skip(2);
        else
            in.string();
    } else if (type == ATTRIBUTE_BINARY) {
        in.skip(in.i32());
    } else if (const int size = fixedSize(type)) {
        in.skip(size);
    } else {
        return false;
    }
    return in.ok();
}

} // namespace

namespace ParticleBenchData {

Document generate(const CFilePCF *templates, int elementCount, quint32 seed)
{
    QRandomGenerator random(seed);
    auto guid = [&random] {
        quint32 w[4];
        random.fillRange(w);
        return QUuid(w[0], ushort(w[1]), ushort(w[1] >> 16), uchar(w[2]), uchar(w[2] >> 8),
                     uchar(w[2] >> 16), uchar(w[2] >> 24), uchar(w[3]), uchar(w[3] >> 8),
                     uchar(w[3] >> 16), uchar(w[3] >> 24));
    };
    Document document(newDmxRoot(3));
    document->root()->guid = guid();
    const DMXElement *model = templates->findParticleSystem(QStringLiteral("default"));
    QVector<QPair<int, const DMXElement *>> functions;
    for (int i = 0; i < model->attributes.size(); ++i) {
        if (const DMXElementList *list = model->attributes[i]->elementList()) {
            for (const DMXElement *function : *list)
                functions.append({i, function});
        }
    }
    const QString extraName = QStringLiteral("hand-made parameter");
    DMXElement *previous = nullptr;
    int next = 0;
    for (int s = 0; document->elements.size() < elementCount; ++s) {
        auto *system = new DMXElement;
        system->type = model->type;
        system->name = QStringLiteral("system_%1").arg(s);
        system->guid = guid();
        for (const DMXAttribute *attribute : model->attributes) {
            if (attribute->type() == ATTRIBUTE_ELEMENT_ARRAY)
                system->attributes.append(newList(attribute->name()));
            else
                system->attributes.append(attribute->clone());
        }
        document->systemList()->append(system);
        document->elements.append(system);
        for (int k = 0; k < 27 && document->elements.size() < elementCount; ++k) {
            const auto &source = functions[next++ % functions.size()];
            DMXElement *copy = source.second->clone();
            copy->guid = guid();
            copy->attributes.append(newFloat(extraName, 1));
            system->attributes[source.first]->elementList()->append(copy);
            document->elements.append(copy);
        }
        if (previous && document->elements.size() < elementCount) {
            auto *entry = new DMXElement;
            entry->type = QStringLiteral("DmeParticleChild");
            entry->name = previous->name;
            entry->guid = guid();
            entry->attributes.append(newDmxAttribute(ATTRIBUTE_ELEMENT, previous, "child"));
            entry->attributes.append(newFloat(QStringLiteral("delay"), 0.5f));
            system->attribute(QStringLiteral("children"))->elementList()->append(entry);
            document->elements.append(entry);
        }
        previous = system;
    }
    return document;
}

bool walk(const QByteArray &bytes, Counts *counts)
{
    const int headerEnd = bytes.indexOf('\0');
    if (headerEnd < 0)
        return false;
    const bool indexed = bytes.startsWith("<!-- dmx encoding binary 4 ");
    Cursor in(bytes);
    in.skip(headerEnd + 1);
    counts->strings = indexed ? in.i32() : qint32(in.u(2));
    for (qint64 i = 0; i < counts->strings && in.ok(); ++i)
        in.string();
    counts->elements = in.i32();
    for (qint64 i = 0; i < counts->elements && in.ok(); ++i) {
        in.skip(2);
        if (indexed)
            in.skip(2);
        else
            in.string();
        in.skip(16);
    }
    counts->attributes = 0;
    for (qint64 i = 0; i < counts->elements && in.ok(); ++i) {
        const qint32 attributes = in.i32();
        counts->attributes += attributes;
        for (qint32 j = 0; j < attributes && in.ok(); ++j) {
            in.skip(2);
            const uint type = in.u(1);
            if (!DMX::isArray(type)) {
                if (!walkValue(in, type, indexed))
                    return false;
                continue;
            }
            const qint32 items = in.i32();
            const int size = fixedSize(type - DMX::ArrayOffset);
            if (size > 0) {
                in.skip(qint64(items) * size);
                continue;
            }
            for (qint32 k = 0; k < items && in.ok(); ++k) {
                if (!walkValue(in, type - DMX::ArrayOffset, indexed))
                    return false;
            }
        }
    }
    return in.ok();
}

} // namespace ParticleBenchData
