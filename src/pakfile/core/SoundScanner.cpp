#include "SoundScanner.h"

#include "CScanFoundList.h"
#include "CScanRecord.h"
#include "ScanPath.h"
#include "functions.h"

namespace {

const QString WaveKey = QStringLiteral("wave");
const QString SoundPrefix = QStringLiteral("sound/");
constexpr int MaxSoundCharacters = 2;

bool isSoundCharacter(QChar c, const QStringList &keys)
{
    for (const QString &key : keys) {
        if (!key.isEmpty() && key.at(0) == c)
            return true;
    }
    return false;
}

} // namespace

void scanSoundScript(const QByteArray &bytes, CScanFoundList &found, const QStringList &soundKeys)
{
    const std::unique_ptr<CScanRecord> record = splitLines(bytes);
    QString key, value, comment;
    for (const QByteArray &line : qAsConst(record->lines)) {
        parseKeyValue(QString::fromLatin1(line), key, value, comment);
        if (key.compare(WaveKey, Qt::CaseInsensitive) != 0 || value.isEmpty())
            continue;
        int strip = 0;
        while (strip < MaxSoundCharacters && strip < value.size() &&
               isSoundCharacter(value.at(strip), soundKeys))
            ++strip;
        value.remove(0, strip);
        ScanPath::clean(value);
        if (value.isEmpty())
            continue;
        const QString path = SoundPrefix + value;
        if (ScanPath::isFollowable(path))
            found.add(path);
    }
}

void scanSoundScriptFile(const QString &path, CScanFoundList &found, const QStringList &soundKeys)
{
    QByteArray bytes;
    if (ScanPath::readWhole(path, bytes))
        scanSoundScript(bytes, found, soundKeys);
}
