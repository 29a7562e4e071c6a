#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class CFilePCF;
class CScanFoundList;
struct MaterialKeys;

// Records the material of each particle system of a loaded particle file and
// scans every material script found on disk with `keys`. With a system name: that system
// and every child system below it (each once, also when the children form a
// cycle); with an empty name: every system definition of the document. The
// document stays the caller's.
void scanParticleSystems(const CFilePCF &document, CScanFoundList &found, const MaterialKeys &keys,
                         const QString &baseDirectory, const QString &systemName,
                         QStringList *errors = nullptr);

// Records the particle files that the "file" lines of a map's particle
// manifest name (a leading "!" dropped) when they are on disk, and scans all
// their systems. An entry whose file does not read as a particle file is
// taken out of the list again and the reader's text logged. Needs the game
// folder: without one nothing is recorded.
void scanParticleManifest(const QByteArray &bytes, CScanFoundList &found, const MaterialKeys &keys,
                          const QString &baseDirectory, QStringList *errors = nullptr);
// The same on a file; a file that cannot be read whole is ignored.
void scanParticleManifestFile(const QString &path, CScanFoundList &found, const MaterialKeys &keys,
                              const QString &baseDirectory, QStringList *errors = nullptr);
