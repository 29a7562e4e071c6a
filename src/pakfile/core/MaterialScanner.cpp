#include "MaterialScanner.h"

#include "CPath.h"
#include "CScanFoundList.h"
#include "CScanRecord.h"
#include "PakfileErrors.h"
#include "ScanPath.h"
#include "functions.h"

namespace {

const QString IncludeKey = QStringLiteral("include");
const QString MaterialsPrefix = QStringLiteral("materials/");
const QString ScriptSuffix = QStringLiteral(".vmt");
const QString SpriteSuffix = QStringLiteral(".spr");
const QString TextureSuffix = QStringLiteral(".vtf");

int indexOfKey(const QStringList &keys, const QString &key)
{
    for (int i = 0; i < keys.size(); ++i) {
        if (keys.at(i).compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void chopSuffix(QString &value, const QString &suffix)
{
    if (value.endsWith(suffix, Qt::CaseInsensitive))
        value.chop(suffix.size());
}

class MaterialScan
{
public:
    MaterialScan(CScanFoundList &found, const MaterialKeys &keys, const QString &baseDirectory,
                 QStringList *errors)
        : m_found(found)
        , m_keys(keys)
        , m_base(baseDirectory)
        , m_errors(errors)
    {}

    void run(const CScanRecord &record)
    {
        QString key, value, comment;
        for (const QByteArray &line : record.lines) {
            parseKeyValue(ScanPath::textBeforeNul(line), key, value, comment);
            ScanPath::clean(value);
            if (key.isEmpty() || value.isEmpty())
                continue;
            if (key.compare(IncludeKey, Qt::CaseInsensitive) == 0) {
                include(value);
                continue;
            }
            if (indexOfKey(m_keys.materialKeys, key) >= 0) {
                material(value);
                continue;
            }
            const int textureKey = indexOfKey(m_keys.textureKeys, key);
            if (textureKey >= 0)
                texture(value, m_keys.textureExceptions.value(textureKey));
        }
    }

private:
    // An include names its file from the game folder, "materials/" and ".vmt"
    // included.
    void include(const QString &value)
    {
        const QString entry =
            ScanPath::admit(ScanPath::collapsed(value), m_found, m_base, m_errors);
        if (entry.isNull() || !m_found.add(entry))
            return;
        follow(entry);
    }

    void material(QString value)
    {
        // A value already ending in ".vmt" would otherwise name "x.vmt.vmt".
        chopSuffix(value, ScriptSuffix);
        const QString built = ScanPath::collapsed(MaterialsPrefix + value + ScriptSuffix);
        const QString entry = ScanPath::admit(built, m_found, m_base, m_errors);
        if (entry.isNull() || !m_found.add(entry))
            return;
        follow(entry);

        // A sprite script beside the material counts only when it is on disk.
        if (m_base.isEmpty())
            return;
        const QString sprite = built.left(built.size() - ScriptSuffix.size()) + SpriteSuffix;
        const CPath onDisk = CPath(sprite, true).resolve(m_base, false, m_found.listings());
        if (onDisk.isEmpty())
            return;
        const QString spriteEntry = onDisk.toString();
        if (m_found.add(spriteEntry))
            follow(spriteEntry);
    }

    void texture(QString value, const QStringList &exclusions)
    {
        chopSuffix(value, TextureSuffix);
        if (exclusions.contains(value, Qt::CaseInsensitive))
            return;
        const QString entry =
            ScanPath::admit(MaterialsPrefix + value + TextureSuffix, m_found, m_base, m_errors);
        // Textures are recorded, never read.
        if (!entry.isNull())
            m_found.add(entry);
    }

    void follow(const QString &entry)
    {
        followMaterialScript(entry, m_found, m_keys, m_base, m_errors, PakfileError::UnableToRead);
    }

    CScanFoundList &m_found;
    const MaterialKeys &m_keys;
    const QString m_base;
    QStringList *m_errors;
};

} // namespace

void scanMaterialScript(const CScanRecord &record, CScanFoundList &found, const MaterialKeys &keys,
                        const QString &baseDirectory, QStringList *errors)
{
    MaterialScan(found, keys, baseDirectory, errors).run(record);
}

void followMaterialScript(const QString &entry, CScanFoundList &found, const MaterialKeys &keys,
                          const QString &baseDirectory, QStringList *errors, const char *readError)
{
    if (!ScanPath::isFileBelow(baseDirectory, entry))
        return;
    CScanFoundList::Nesting nesting(found);
    if (!nesting.allowed()) {
        ScanPath::log(errors, PakfileError::NestedTooDeeply, entry);
        return;
    }
    const std::unique_ptr<CScanRecord> record = readFileLines(baseDirectory + entry);
    if (!record) {
        ScanPath::log(errors, readError, entry);
        return;
    }
    scanMaterialScript(*record, found, keys, baseDirectory, errors);
}
