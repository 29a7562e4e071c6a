#include "EntityMapSource.h"

#include "EntityLump.h"

namespace EntityMapSource {

namespace {

QString text(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul));
}

void appendPairs(CEntity &entity, const QVector<QByteArray> &list)
{
    for (int i = 0; i + 1 < list.size(); i += 2)
        entity.insertKeyValue(text(list[i]), text(list[i + 1]));
}

void addPair(VMFBody &body, const CEntityKeyValue &pair)
{
    QVector<QByteArray> &target = isConnection(pair.value) ? body.connections : body.keyValues;
    target << EntityLump::encode(pair.key) << EntityLump::encode(pair.value);
}

bool isBrushModel(const CEntityKeyValue &pair, const QStringList &studioKeys)
{
    return pair.value.startsWith(QLatin1Char('*')) &&
           studioKeys.contains(pair.key, Qt::CaseInsensitive);
}

} // namespace

bool isHidden(const VMFEntity &entity)
{
    return entity.body.solids.isEmpty() && !entity.editor.visgroupshown;
}

bool hasHiddenEntity(const CFileVMF &document)
{
    for (const VMFEntity &entity : document.entities) {
        if (isHidden(entity))
            return true;
    }
    return false;
}

QVector<CEntity> entities(const CFileVMF &document, bool skipHidden)
{
    QVector<CEntity> list;
    for (const VMFEntity &source : document.entities) {
        if (skipHidden && isHidden(source))
            continue;
        CEntity entity;
        appendPairs(entity, source.body.keyValues);
        appendPairs(entity, source.body.connections);
        list.append(std::move(entity));
    }
    return list;
}

bool isConnection(const QString &value)
{
    // Newer games part the five with the byte 0x1b, older ones with commas.
    return value.count(QLatin1Char(',')) == 4 || value.count(QLatin1Char('\x1b')) == 4;
}

bool isWorldClass(const CEntity &entity)
{
    return entity.value(QStringLiteral("classname"))
               .compare(QLatin1String("worldspawn"), Qt::CaseInsensitive) == 0;
}

CFileVMF toDocument(const QVector<const CEntity *> &list, const QStringList &studioKeys)
{
    CFileVMF document;
    for (const CEntity *entity : list) {
        if (isWorldClass(*entity)) {
            for (const CEntityKeyValue &pair : entity->pairs())
                addPair(document.world, pair);
            continue;
        }
        VMFEntity target;
        bool brushModel = false;
        for (const CEntityKeyValue &pair : entity->pairs()) {
            brushModel = isBrushModel(pair, studioKeys);
            if (brushModel)
                break;
            addPair(target.body, pair);
        }
        if (!brushModel)
            document.entities.append(std::move(target));
    }
    return document;
}

} // namespace EntityMapSource
