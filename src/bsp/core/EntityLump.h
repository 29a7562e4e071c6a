#pragma once

#include "CEntity.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

class QIODevice;

// The entity lump text (lump 0 of a map, also kept in ".lmp" files): one
// block per entity,
//
//     {
//     "classname" "worldspawn"
//     "mapversion" "1"
//     }
//
// then one NUL byte after the last block. One byte per character (Latin-1).
// Lines end at LF, CR, CR LF or NUL when read (a quoted value may hold line
// ends, which it keeps) and with LF when written.
namespace EntityLump {

// The lump file the entity editor writes: header size 20, lump index 0,
// version 0, the text's length and map revision 0, then the text.
constexpr int LumpIndex = 0;
// The largest size a user may ask a lump file to be padded to.
constexpr int MaxCustomLumpSize = 1073741823;

// Latin-1 bytes; a character above U+00FF (a surrogate pair counting as one
// character) becomes "?".
QByteArray encode(const QString &text);
// The first character `encode` would write as "?" (a surrogate pair whole);
// null when Latin-1 holds every one.
QString unstorable(const QString &text);

// The world entity: the first "classname" is exactly "worldspawn".
bool isWorld(const CEntity &entity);
// Rows of the world entities a list may not keep: all but the first, or all
// of them when the list they join already holds a world (`haveWorld`).
QVector<int> surplusWorlds(const QVector<const CEntity *> &entities, bool haveWorld = false);
// Appends "classname" "info_null" to an entity without a class; true when it
// did.
bool giveClassname(CEntity &entity);
// Keeps only the first world entity and gives every other entity a class;
// true when a class was given.
bool normalize(QVector<CEntity> &entities);

// Reads the text from the device's position to `end` (the device's end
// stops it too), in memory: a QBuffer's bytes are read where they are. A
// line (EntityTextLines: a quoted token runs over line ends to its closing
// quote) that is a pair (a key and a value, either of them maybe empty,
// quoted or bare; "//" outside quotes starts a comment) is added to the open
// block; any other line only counts when it is exactly "{" (opens a block,
// dropping one still open) or "}" (closes it; a block without pairs is
// dropped). Text that fits nothing is skipped; a block still open at the end
// is dropped. Never fails; the work is linear in the bytes read.
QVector<CEntity> parse(QIODevice *device, qint64 end);
QVector<CEntity> parse(const QByteArray &text);

// One block as written. Keys and values go out unchanged, without escapes.
void appendText(QByteArray &out, const CEntity &entity);
// Every block in order, then the closing NUL (an empty list gives just the
// NUL). `progress` gets the number of blocks written after each.
QByteArray build(const QVector<const CEntity *> &entities,
                 const std::function<void(int)> &progress = {});

// The lump file holding the text.
QByteArray lumpFileBytes(const QByteArray &text);
// Reads a lump file from the device's start with the editor's loose checks:
// header size at least 20 ("Unexpected start of data."), the file at least
// header size + lump length long ("Unexpected end of data.", also for a
// negative length or a file shorter than a header), lump index 0 ("Lump does
// not contain entity information."). The version and map revision are not
// looked at; the text runs from the header size to the end of the file.
bool readLumpFile(QIODevice *device, QVector<CEntity> &entities, QString &error);
bool readLumpFile(const QByteArray &file, QVector<CEntity> &entities, QString &error);

} // namespace EntityLump
