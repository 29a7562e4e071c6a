#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class CScanFoundList;

// Records "sound/" + the value of every "wave" line of a sound script (a
// soundscape or sound script file), without up to two leading sound
// characters (the first character of each of `soundKeys`, the keys of the
// configuration's [soundchars]). Nothing is resolved, tested on disk or
// reported; a value that would leave the game folder is dropped.
void scanSoundScript(const QByteArray &bytes, CScanFoundList &found, const QStringList &soundKeys);
// The same on a file; a file that cannot be read whole is ignored.
void scanSoundScriptFile(const QString &path, CScanFoundList &found, const QStringList &soundKeys);
