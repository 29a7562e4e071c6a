#include "PCFManifest.h"

#include "CDelegateBSP.h"
#include "CFilePCF.h"
#include "CSaveFile.h"
#include "PCFDelegate.h"
#include "PCFErrors.h"
#include "PCFProgressSink.h"
#include "PCFToolTexts.h"
#include "functions.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>

namespace {

const char *const MapSuffix = ".bsp";
const char *const ManifestSuffix = "_manifest.txt";
const char *const EffectKey = "effect_name";
const char *const Head = "particles_manifest\n{\n";
const char *const Line = "\tfile\t\"particles/%1\"\n";
const char *const Tail = "}\n";
// Room reserved for one entity line.
constexpr quint16 LineReserve = 64;
// The entity lump is entry 0 of a map.
constexpr int EntityLump = 0;

} // namespace

PCFManifest::PCFManifest(PCFProgressSink *sink)
    : m_sink(sink)
{}

PCFManifest::~PCFManifest()
{
    for (const Record &record : qAsConst(m_records))
        delete record.document;
}

QString PCFManifest::manifestPath(const QString &mapPath)
{
    const QString suffix = QString::fromLatin1(MapSuffix);
    QString base = mapPath;
    if (base.endsWith(suffix, Qt::CaseInsensitive))
        base.chop(suffix.size());
    return base + QString::fromLatin1(ManifestSuffix);
}

QStringList PCFManifest::particleFiles(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    return QDir(folder).entryList(
        {QStringLiteral("*.pcf")},
        QDir::Files | QDir::Readable | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray PCFManifest::manifestText(const QStringList &fileNames)
{
    QString text = QString::fromLatin1(Head);
    for (const QString &name : fileNames)
        text += QString::fromLatin1(Line).arg(name);
    text += QString::fromLatin1(Tail);
    // Names outside plain ASCII go out in the platform's own encoding.
    return text.toLocal8Bit();
}

void PCFManifest::log(const QString &text, bool isError)
{
    if (m_sink)
        m_sink->message(text, isError);
}

void PCFManifest::run(const QString &mapPath, const QString &folder, const QStringList &fileNames)
{
    if (load(folder, fileNames) == 0)
        return;
    if (!scanMap(mapPath))
        return;
    writeManifest(mapPath);
}

int PCFManifest::load(const QString &folder, const QStringList &fileNames)
{
    PCFDelegate delegate;
    if (m_sink)
        m_sink->setRange(0, fileNames.size());
    int done = 0;
    int loaded = 0;
    for (const QString &name : fileNames) {
        const QString path = folder + QLatin1Char('/') + name;
        if (m_sink)
            m_sink->setLabel(QString::fromLatin1(PCFText::Loading).arg(path));
        auto *document = new CFilePCF;
        if (delegate.read(path, document)) {
            m_records.append({name, document, false});
            ++loaded;
        } else {
            delete document;
            log(QString::fromLatin1(PCFText::ItemError).arg(path, delegate.error()), true);
        }
        if (m_sink)
            m_sink->setValue(++done);
    }
    return loaded;
}

bool PCFManifest::scanMap(const QString &mapPath)
{
    CDelegateBSP map;
    if (!map.open(mapPath, true)) {
        log(map.lastError(), true);
        return false;
    }
    QByteArray entities;
    QBuffer buffer(&entities);
    buffer.open(QIODevice::ReadWrite);
    if (map.size(EntityLump) > 0 && !map.writeCurrent(&buffer, EntityLump)) {
        log(map.lastError(), true);
        return false;
    }
    buffer.close();
    scanEntities(entities);
    return true;
}

void PCFManifest::scanEntities(const QByteArray &entities)
{
    if (m_sink) {
        m_sink->setLabel(QString::fromLatin1(PCFText::Scanning));
        m_sink->setRange(0, entities.size());
    }
    QBuffer buffer;
    buffer.setData(entities);
    buffer.open(QIODevice::ReadOnly);
    QDataStream stream(&buffer);
    const QString effectKey = QString::fromLatin1(EffectKey);
    char next = 0;
    while (buffer.peek(&next, 1) == 1 && next != '\0') {
        const QString line = readTerminatedString(stream, '\n', LineReserve);
        QString key;
        QString value;
        if (splitKeyValueLine(line, key, value) && key == effectKey) {
            bool found = false;
            for (Record &record : m_records) {
                if (record.document->findParticleSystem(value)) {
                    record.used = true;
                    found = true;
                }
            }
            if (!found)
                log(QString::fromLatin1(PCFError::ManifestSystemMissing).arg(value), true);
        }
        if (m_sink)
            m_sink->setValue(int(buffer.pos()));
    }
    if (m_sink)
        m_sink->setValue(entities.size());
}

bool PCFManifest::writeManifest(const QString &mapPath)
{
    const QStringList used = usedFiles();
    if (used.isEmpty()) {
        log(QString::fromLatin1(PCFError::ManifestNothingUsed), true);
        return false;
    }
    const QString path = manifestPath(mapPath);
    const QByteArray text = manifestText(used);
    CSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        const QString message =
            file.failure(QString::fromLatin1(PCFError::ManifestUnwritable).arg(path));
        file.cancelWriting();
        log(message, true);
        return false;
    }
    log(QString::fromLatin1(PCFText::Wrote).arg(path), false);
    return true;
}

QStringList PCFManifest::loadedFiles() const
{
    QStringList names;
    for (const Record &record : m_records)
        names << record.fileName;
    return names;
}

QStringList PCFManifest::usedFiles() const
{
    QStringList names;
    for (const Record &record : m_records) {
        if (record.used)
            names << record.fileName;
    }
    return names;
}
