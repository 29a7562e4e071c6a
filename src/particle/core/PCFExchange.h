#pragma once

#include "PCFConversionLoss.h"
#include "PCFKeptList.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class CFilePCF;
class DMXElement;
class PCFDelegate;

// Moving particle systems between documents and making a document's GUIDs
// unique: the cores of the editor's Import, Export and "Ensure GUID
// Uniqueness" entries. Warnings come back as text for the editor to show.
namespace PCFExchange {

// The "DmeParticleSystemDefinition" elements of the flat element list, in
// list order, and their names: what the choice dialogs offer.
QList<DMXElement *> systemElements(const CFilePCF *document);
QStringList elementNames(const QList<DMXElement *> &elements);

// The system "default" of the template document of a format code (entry n of
// `templates`), or null.
const DMXElement *defaultTemplateSystem(const QList<CFilePCF *> &templates, int format);

// Entry n of `kept`, what real files of format n carry beyond its template;
// null where the vector has none.
const PCFKeptList *keptList(const QVector<PCFKeptList> &kept, int format);

// Copies the systems and every system they name as children into the target
// under names unique in the target (and among the copies), with the source's
// GUIDs or, without preserveGuids, fresh ones where a copy's element would
// repeat a GUID of the target, and then conforms the copies from the source's
// encoding to the target's (its template in `templates`, what its games know
// beyond that in `kept`, both by format code). The target's own systems stay
// as they were. True when the copy was made or there was nothing to copy;
// false with the text in `warning` when the target is unusable (nothing
// copied) or conforming failed (the copies stay in the target). What
// conforming dropped goes to `report`.
bool mergeSystems(const CFilePCF *source, const QList<DMXElement *> &systems, CFilePCF *target,
                  bool preserveGuids, const QList<CFilePCF *> &templates,
                  const QVector<PCFKeptList> &kept, PCFDelegate *delegate, QString *warning,
                  PCFConversionReport *report = nullptr);

// Copies the systems into the particle file at `path`: the file as it is when
// it exists, otherwise a new one in the source's encoding. The file is written
// only after a successful merge, and replaced only by a complete new file.
// False with the text in `warning` (the reader's, the merge's or the
// writer's). What conforming the copies dropped goes to `report`.
bool exportSystems(const QString &path, const CFilePCF *source, const QList<DMXElement *> &systems,
                   bool preserveGuids, const QList<CFilePCF *> &templates,
                   const QVector<PCFKeptList> &kept, PCFDelegate *delegate, QString *warning,
                   PCFConversionReport *report = nullptr);

// Renews every null or repeated GUID of the document (the earlier holder
// keeps a shared one). True when any element got a new GUID.
bool ensureUniqueGuids(CFilePCF *document);

} // namespace PCFExchange
