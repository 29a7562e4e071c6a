#include "EntityLump.h"

#include "BspErrors.h"
#include "EntityTextLines.h"
#include "LumpFile.h"
#include "functions.h"

#include <QBuffer>
#include <QLatin1String>

#include <cstring>
#include <limits>

#include <optional>

namespace E = BspErrors;

namespace EntityLump {

namespace {

const QString ClassName = QStringLiteral("classname");
// What one byte array can hold.
constexpr qint64 MaxTextBytes = std::numeric_limits<int>::max() - 64;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Trimmed of white space, except that the line ends of a value written over
// several lines stay, so that it writes back as it was read.
QLatin1String trimmedText(const char *begin, const char *end)
{
    const auto trims = [](char c) { return c != '\n' && c != '\r' && isAsciiSpace(c); };
    while (begin < end && trims(*begin))
        ++begin;
    while (end > begin && trims(end[-1]))
        --end;
    return QLatin1String(begin, int(end - begin));
}

// The same few keys ("classname", "origin") come back in every entity: one
// shared string per spelling spares a string per pair, a good part of the
// memory a large lump takes.
class KeyStrings
{
public:
    QString get(QLatin1String text)
    {
        if (text.isEmpty())
            return QString::fromLatin1(text.data(), 0);
        QString &slot = m_slots[qHash(text) % Slots];
        if (slot != text)
            slot = QString(text);
        return slot;
    }

private:
    static constexpr uint Slots = 1024;
    QString m_slots[Slots];
};

// The written form of a pair, "key" "value" with blanks around and between:
// nearly every line of a lump, read here without the general key/value split.
bool writtenPair(QLatin1String line, QString &key, QString &value, KeyStrings &keys)
{
    const char *const data = line.data();
    const int size = line.size();
    int at = 0;
    QString *texts[2] = {&key, &value};
    for (int t = 0; t < 2; ++t) {
        const int start = at;
        while (at < size && isBlank(data[at]))
            ++at;
        // Blanks must part the two texts.
        if (at == size || data[at] != '"' || (t == 1 && at == start))
            return false;
        const void *close = std::memchr(data + at + 1, '"', size_t(size - at - 1));
        if (!close)
            return false;
        const char *const end = static_cast<const char *>(close);
        const QLatin1String text = trimmedText(data + at + 1, end);
        *texts[t] = t == 0 ? keys.get(text) : QString(text);
        at = int(end - data) + 1;
    }
    while (at < size && isBlank(data[at]))
        ++at;
    return at == size;
}

int skipSpaces(const char *data, int size, int at)
{
    while (at < size && isAsciiSpace(data[at]))
        ++at;
    return at;
}

// Just past the text starting at `at`: the closing quote of a quoted one,
// else the next blank.
int textEnd(const char *data, int size, int at)
{
    if (at < size && data[at] == '"') {
        if (const void *close = std::memchr(data + at + 1, '"', size_t(size - at - 1)))
            return int(static_cast<const char *>(close) - data) + 1;
    }
    while (at < size && !isAsciiSpace(data[at]))
        ++at;
    return at;
}

// A line with more than one text after its key (a value holding quotes of its
// own, such as one written with backslashes, which the engine does not read
// as escapes): all of the line after the key, up to a comment, is the value.
// Without the quotes that enclose it, so that the pair writes back as it was
// read. False for a line with at most one text after its key.
bool valueAfterKey(QLatin1String line, QLatin1String &value)
{
    const char *const data = line.data();
    const int size = line.size();
    const int start = skipSpaces(data, size, textEnd(data, size, skipSpaces(data, size, 0)));
    int end = start;
    int texts = 0;
    while (end < size && !(data[end] == '/' && end + 1 < size && data[end + 1] == '/')) {
        end = skipSpaces(data, size, textEnd(data, size, end));
        ++texts;
    }
    if (texts < 2)
        return false;
    value = trimmedText(data + start, data + end);
    if (value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"'))
        value = value.mid(1, value.size() - 2);
    return true;
}

// "{" or "}" with blanks around.
char structure(QLatin1String line)
{
    const QLatin1String text = line.trimmed();
    return text.size() == 1 ? text.at(0).toLatin1() : '\0';
}

QVector<CEntity> parseText(const char *data, int size)
{
    QVector<CEntity> entities;
    std::optional<CEntity> open;
    EntityTextLines lines(data, size);
    KeyStrings keys;
    // At least one line, as the text may be a single NUL.
    do {
        const QLatin1String line = lines.next();
        // Padding after the text is a run of NULs, each an empty line.
        if (line.isEmpty())
            continue;
        QString key;
        QString value;
        bool pair = writtenPair(line, key, value, keys);
        if (!pair) {
            QByteArray keyBytes;
            QByteArray valueBytes;
            parseKeyValue(QByteArray::fromRawData(line.data(), line.size()), keyBytes, valueBytes,
                          QuotedSlashes::Text);
            // An empty value is a value too: the writer writes such pairs.
            pair = !valueBytes.isNull();
            key = QString::fromLatin1(keyBytes);
            QLatin1String whole;
            value = pair && valueAfterKey(line, whole) ? QString(whole)
                                                       : QString::fromLatin1(valueBytes);
        }
        if (pair) {
            if (open)
                open->insertKeyValue(key, value);
            continue;
        }
        const char brace = structure(line);
        if (brace == '{') {
            open.emplace();
        } else if (brace == '}' && open) {
            if (open->pairCount() > 0)
                entities.append(std::move(*open));
            open.reset();
        }
    } while (!lines.atEnd());
    return entities;
}

} // namespace

QByteArray encode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF) {
            out.append(char(c.unicode()));
            continue;
        }
        out.append('?');
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return out;
}

QString unstorable(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF)
            continue;
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        return text.mid(i, pair ? 2 : 1);
    }
    return QString();
}

bool isWorld(const CEntity &entity)
{
    const CEntityKeyValue *pair = entity.find(ClassName);
    return pair && pair->value == QLatin1String("worldspawn");
}

QVector<int> surplusWorlds(const QVector<const CEntity *> &entities, bool haveWorld)
{
    QVector<int> rows;
    for (int row = 0; row < entities.size(); ++row) {
        if (!isWorld(*entities[row]))
            continue;
        if (haveWorld)
            rows.append(row);
        haveWorld = true;
    }
    return rows;
}

bool giveClassname(CEntity &entity)
{
    if (entity.hasKey(ClassName))
        return false;
    entity.insertKeyValue(ClassName, QStringLiteral("info_null"));
    return true;
}

bool normalize(QVector<CEntity> &entities)
{
    QVector<const CEntity *> view;
    view.reserve(entities.size());
    for (const CEntity &entity : entities)
        view.append(&entity);
    const QVector<int> surplus = surplusWorlds(view);
    // One pass that closes the gaps, so that many surplus worlds cost no more
    // than a few.
    QVector<CEntity> kept;
    kept.reserve(entities.size() - surplus.size());
    int next = 0;
    bool given = false;
    for (int row = 0; row < entities.size(); ++row) {
        if (next < surplus.size() && surplus[next] == row) {
            ++next;
            continue;
        }
        if (!isWorld(entities[row]))
            given = giveClassname(entities[row]) || given;
        kept.append(std::move(entities[row]));
    }
    entities = std::move(kept);
    return given;
}

QVector<CEntity> parse(QIODevice *device, qint64 end)
{
    if (!device || !device->isOpen() || !device->isReadable())
        return {};
    const qint64 start = device->pos();
    qint64 want = end > start ? end - start : 0;
    if (!device->isSequential())
        want = qMax<qint64>(0, qMin(want, device->size() - start));
    want = qMin(want, MaxTextBytes);
    // A lump already in memory is read where it is rather than copied.
    if (auto *buffer = qobject_cast<QBuffer *>(device)) {
        const QVector<CEntity> entities =
            parseText(want > 0 ? buffer->data().constData() + start : nullptr, int(want));
        buffer->seek(start + want);
        return entities;
    }
    QByteArray text;
    if (device->isSequential()) {
        // Only what arrives: a stream gives no size to allocate for.
        while (text.size() < want) {
            const QByteArray chunk = device->read(qMin<qint64>(want - text.size(), 1 << 20));
            if (chunk.isEmpty())
                break;
            text += chunk;
        }
    } else if (want > 0) {
        text.resize(int(want));
        text.truncate(int(qMax<qint64>(device->read(text.data(), want), 0)));
    }
    return parse(text);
}

QVector<CEntity> parse(const QByteArray &text)
{
    return parseText(text.constData(), text.size());
}

void appendText(QByteArray &out, const CEntity &entity)
{
    out.append("{\n");
    for (const CEntityKeyValue &pair : entity.pairs()) {
        out.append('"');
        out.append(encode(pair.key));
        out.append("\" \"");
        out.append(encode(pair.value));
        out.append("\"\n");
    }
    out.append("}\n");
}

QByteArray build(const QVector<const CEntity *> &entities, const std::function<void(int)> &progress)
{
    QByteArray out;
    for (int i = 0; i < entities.size(); ++i) {
        appendText(out, *entities[i]);
        if (progress)
            progress(i + 1);
    }
    out.append('\0');
    return out;
}

QByteArray lumpFileBytes(const QByteArray &text)
{
    LumpFile::Header header;
    header.index = LumpIndex;
    header.length = text.size();
    return LumpFile::headerBytes(header) + text;
}

bool readLumpFile(QIODevice *device, QVector<CEntity> &entities, QString &error)
{
    if (!device || !device->isOpen() || !device->isReadable() || !device->seek(0)) {
        error = QString::fromLatin1(E::EntityUnableToOpenFile);
        return false;
    }
    const qint64 size = device->size();
    LumpFile::Header header;
    if (!LumpFile::parseHeader(device->read(LumpFile::HeaderSize), header)) {
        error = LumpFile::notLumpFile(E::EntityNotLumpFile, device);
        return false;
    }
    if (header.headerSize < LumpFile::HeaderSize) {
        error = QString::fromLatin1(E::EntityStartOfData);
        return false;
    }
    // In 64 bits: two 32-bit fields near their limit must not wrap round to
    // a small size.
    if (header.length < 0 || size < qint64(header.headerSize) + header.length) {
        error = header.length >= 0 && size >= header.headerSize
                    ? LumpFile::lumpFileCut(E::EntityLumpFileCut, device, header.length,
                                            size - header.headerSize)
                    : LumpFile::notLumpFile(E::EntityNotLumpFile, device);
        return false;
    }
    if (header.index != LumpIndex) {
        error = QString::fromLatin1(E::NotEntityLump);
        return false;
    }
    // The text runs to the end of the file: a custom size's padding is read
    // as empty lines.
    if (!device->seek(header.headerSize)) {
        error = QString::fromLatin1(E::EntityEndOfData);
        return false;
    }
    entities += parse(device, size);
    return true;
}

bool readLumpFile(const QByteArray &file, QVector<CEntity> &entities, QString &error)
{
    QByteArray copy = file;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readLumpFile(&buffer, entities, error);
}

} // namespace EntityLump
