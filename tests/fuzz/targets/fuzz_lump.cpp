// Lump files and entity lump text: the input read as a lump file replacing
// the lump its header names (with lump 35's game-lump offsets moved as
// staging moves them), as the entity editor's lump file, and as the entity
// lump of a map. The entities are normalised and built as the editor saves
// them, and the text read again.
#include "BspErrors.h"
#include "BspFixture.h"
#include "EntityLump.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "LumpFile.h"

using FuzzCheck::require;

namespace {

// Every entity's keys and values in order.
QList<QStringList> pairTexts(const QVector<CEntity> &entities)
{
    QList<QStringList> texts;
    for (const CEntity &entity : entities) {
        QStringList pairs;
        for (const CEntityKeyValue &pair : entity.pairs())
            pairs << pair.key << pair.value;
        texts << pairs;
    }
    return texts;
}

void checkLumpFile(const QByteArray &input)
{
    LumpFile::Header header;
    const int index = LumpFile::parseHeader(input, header) ? header.index : 0;
    QByteArray data;
    QString error;
    if (!LumpFile::read(input, index, header, data, error)) {
        // Bytes have no file name; the texts are made as the reader makes them.
        const qint64 held = input.size() - LumpFile::HeaderSize;
        require(QStringList(
                    {BspErrors::UnexpectedEndOfFile, BspErrors::UnexpectedStartOfData,
                     BspErrors::UnexpectedEndOfData,
                     LumpFile::notLumpFile(BspErrors::NotLumpFile, nullptr),
                     LumpFile::lumpFileCut(BspErrors::LumpFileCut, nullptr, header.length, held)})
                    .contains(error),
                "a lump file fails without its reason");
        return;
    }
    require(LumpFile::headerBytes(header) + data == input, "a lump file's data is not its bytes");
    if (index == 35) {
        const int size = data.size();
        LumpFile::rebaseGameLumps(data, LumpFile::HeaderSize);
        require(data.size() == size, "moving game-lump offsets resizes the lump");
    }
}

// The editor's save: one world, a class for every other entity, the text
// built; that text reads back as the same entities.
void checkRebuild(QVector<CEntity> entities, int inputSize)
{
    EntityLump::normalize(entities);
    QVector<const CEntity *> list;
    for (const CEntity &entity : qAsConst(entities))
        list << &entity;
    const QByteArray text = EntityLump::build(list);
    // A two-byte pair is written quoted, and an entity of a few bytes gets
    // its class.
    FuzzCheck::requireLinear(quint64(text.size()), inputSize, 8, 64, "built entity lump");
    QVector<CEntity> again;
    QString error;
    if (!EntityLump::readLumpFile(EntityLump::lumpFileBytes(text), again, error))
        FuzzCheck::failure("a built entity lump file does not read", error);
    // Keys and values are written in quotes without escapes: one holding a
    // double quote (taken from a damaged line) reads back otherwise. Every
    // other list must read back as it was built.
    const QList<QStringList> texts = pairTexts(entities);
    for (const QStringList &pairs : texts)
        if (pairs.join(QString()).contains(QLatin1Char('"')))
            return;
    require(pairTexts(again) == texts, "a built entity lump reads back differently");
}

} // namespace

int fuzzOne(const QByteArray &input)
{
    checkLumpFile(input);

    FuzzCheck::CountingBuffer device(input);
    QVector<CEntity> entities;
    QString error;
    const bool read = EntityLump::readLumpFile(&device, entities, error);
    FuzzCheck::requireLinear(device.bytesRead(), input.size(), 1, 0, "entity lump file read");
    if (read)
        checkRebuild(entities, input.size());
    else
        require(!error.isEmpty(), "an entity lump file fails without a reason");

    FuzzCheck::CountingBuffer lump(input);
    entities = EntityLump::parse(&lump, lump.size());
    FuzzCheck::requireLinear(lump.bytesRead(), input.size(), 1, 0, "entity lump read");
    checkRebuild(entities, input.size());
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    MapFixture map = LumpMaps::map(20);
    map.build();
    const QByteArray entities = "{\n\"classname\" \"worldspawn\"\n\"skyname\" \"sky_day01\"\n}\n"
                                "{\r\n\"origin\" \"0 0 0\"\r\nclassname light // lamp\r\n"
                                "\"OnTrigger\" \"lamp,TurnOn,,0,-1\"\r\n}\n{\n}\n" +
                                QByteArray(3, '\0');
    QList<QByteArray> seeds;
    seeds << LumpMaps::lumpFile(20, 0, 0, entities.size(), 1, entities);
    seeds << LumpMaps::lumpFile(20, 0, 0, map.lumps[0].size(), 1, map.lumps[0]);
    seeds << LumpMaps::lumpFile(20, 35, 0, map.lumps[35].size(), 1, map.lumps[35]);
    seeds << LumpMaps::lumpFile(20, 1, 3, map.lumps[1].size(), 1, map.lumps[1]);
    return seeds;
}
