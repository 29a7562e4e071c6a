#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CScanFoundList;
struct CScanRecord;

// The keys a material script names other files with, as the configuration's
// [vmtmaterialkeys] and [vmttexturekeys] lists hold them; each is compared
// without regard to case.
struct MaterialKeys
{
    QStringList materialKeys;
    QStringList textureKeys;
    // Parallel to textureKeys: the values of that key that name no file.
    QList<QStringList> textureExceptions;
};

// Records what a material script depends on: the scripts it includes, the
// scripts (and sprite scripts) its material keys name, and the textures its
// texture keys name; every script found on disk is scanned in turn.
// `baseDirectory` is the game folder ending in "/", or empty to record paths
// as built without touching the disk. Failures are appended to `errors` when
// it is given; the scan never stops for them.
void scanMaterialScript(const CScanRecord &record, CScanFoundList &found, const MaterialKeys &keys,
                        const QString &baseDirectory, QStringList *errors = nullptr);

// Scans the script at base + entry, an entry just added to the list. Nothing
// happens without a game folder or when the file is not there; a file that is
// there but cannot be read logs `readError` (with %1 the entry).
void followMaterialScript(const QString &entry, CScanFoundList &found, const MaterialKeys &keys,
                          const QString &baseDirectory, QStringList *errors, const char *readError);
