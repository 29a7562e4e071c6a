#pragma once

#include "CEntity.h"
#include "CFileVMF.h"

#include <QStringList>
#include <QVector>

// Entities to and from map-source documents.
namespace EntityMapSource {

// Hidden in the map editor: no solids and not shown in its visgroup.
bool isHidden(const VMFEntity &entity);
bool hasHiddenEntity(const CFileVMF &document);
// The document's entities (not its world) in order, hidden ones left out with
// `skipHidden`: first the key/values, then the connections as further pairs
// (output name as key), each text up to its first NUL, as Latin-1.
QVector<CEntity> entities(const CFileVMF &document, bool skipHidden);

// A connection: a value with exactly four commas ("target,input,param,delay,times")
// or exactly four 0x1b bytes in their place.
bool isConnection(const QString &value);
// The world's class, in any letter case.
bool isWorldClass(const CEntity &entity);
// A new document with its defaults holding the entities: those of the world's
// class give their pairs to the world, every other becomes an entity with the
// editor defaults. An entity with a key named in `studioKeys` (any case)
// whose value starts with "*" is a brush model of the compiled map and is left
// out. Connections go to the connections, other pairs to the key/values.
CFileVMF toDocument(const QVector<const CEntity *> &list, const QStringList &studioKeys);

} // namespace EntityMapSource
