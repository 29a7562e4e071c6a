#include "EntityLump.h"

#include "BspErrors.h"
#include "LumpFile.h"
#include "functions.h"

#include <QBuffer>

#include <optional>

namespace E = BspErrors;

namespace EntityLump {

namespace {

const QString ClassName = QStringLiteral("classname");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The written form of a pair, "key" "value" with blanks around and between.
// Read here rather than by the general key/value split, which takes a quoted
// text that starts with "//" for a comment and would lose such a pair.
bool writtenPair(const QByteArray &line, QString &key, QString &value)
{
    const int size = line.size();
    int at = 0;
    QByteArray texts[2];
    for (QByteArray &text : texts) {
        const int start = at;
        while (at < size && isBlank(line[at]))
            ++at;
        // Blanks must part the two texts.
        if (at == size || line[at] != '"' || (&text != texts && at == start))
            return false;
        const int close = line.indexOf('"', at + 1);
        if (close < 0)
            return false;
        text = line.mid(at + 1, close - at - 1);
        at = close + 1;
    }
    while (at < size && isBlank(line[at]))
        ++at;
    if (at != size)
        return false;
    // Trimmed as the general split trims, so both readings agree.
    key = QString::fromLatin1(texts[0]).trimmed();
    value = QString::fromLatin1(texts[1]).trimmed();
    return true;
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
    QVector<CEntity> entities;
    if (!device || !device->isOpen() || !device->isReadable())
        return entities;
    std::optional<CEntity> open;
    do {
        const QByteArray line = readLine(device);
        // Padding after the text is a run of NULs, each an empty line.
        if (line.isEmpty())
            continue;
        QString key;
        QString value;
        QByteArray keyBytes;
        QByteArray valueBytes;
        bool pair = writtenPair(line, key, value);
        if (!pair) {
            parseKeyValue(line, keyBytes, valueBytes);
            // An empty value is a value too: the writer writes such pairs.
            pair = !valueBytes.isNull();
            key = QString::fromLatin1(keyBytes);
            value = QString::fromLatin1(valueBytes);
        }
        if (pair) {
            if (open)
                open->insertKeyValue(key, value);
            continue;
        }
        const QString structure = QString::fromLatin1(line).trimmed();
        if (structure == QLatin1String("{")) {
            open.emplace();
        } else if (structure == QLatin1String("}") && open) {
            if (open->pairCount() > 0)
                entities.append(std::move(*open));
            open.reset();
        }
        // The device's end stops the walk too: an end past it must not spin.
    } while (!device->atEnd() && device->pos() < end);
    return entities;
}

QVector<CEntity> parse(const QByteArray &text)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return parse(&buffer, buffer.size());
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
        error = LumpFile::notLumpFile(E::EntityNotLumpFile, device);
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
