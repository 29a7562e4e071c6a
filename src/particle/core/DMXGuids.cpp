#include "DMXGuids.h"

#include "CFilePCF.h"

#include <QSet>

void regenerateGuids(QList<DMXGuidRecord> &records)
{
    // One pass with the GUIDs seen so far gives what a restart after every
    // change would: the earlier holder keeps a GUID, later ones are renewed.
    QSet<QUuid> taken;
    QSet<const DMXElement *> handled;
    for (DMXGuidRecord &record : records) {
        DMXElement *element = record.element;
        if (!element || handled.contains(element))
            continue;
        handled.insert(element);
        if (element->guid.isNull() || taken.contains(element->guid)) {
            QUuid fresh;
            do
                fresh = QUuid::createUuid();
            while (taken.contains(fresh));
            element->guid = fresh;
            record.changed = true;
        }
        taken.insert(element->guid);
    }
}

void ensureGuidUniqueness(QList<PCFGuidRecord> &records)
{
    QList<DMXGuidRecord> work;
    QVector<int> owner;
    for (int i = 0; i < records.size(); ++i) {
        if (!records[i].document)
            continue;
        for (DMXElement *element : qAsConst(records[i].document->elements)) {
            work.append({element, false});
            owner.append(i);
        }
    }
    regenerateGuids(work);
    for (int i = 0; i < work.size(); ++i) {
        if (work[i].changed)
            records[owner[i]].changed = true;
    }
}
