#pragma once

#include <QList>
#include <QVector>

class CFilePCF;
class DMXElement;

struct DMXGuidRecord
{
    DMXElement *element = nullptr;
    bool changed = false;
};

struct PCFGuidRecord
{
    CFilePCF *document = nullptr;
    bool changed = false;
};

// Gives every listed element a non-null GUID no other listed element shares.
// Of two elements sharing a GUID the earlier keeps it; the same element listed
// twice is no duplicate. Records of renewed elements are marked changed (the
// first record of an element listed twice). Time linear in the records.
void regenerateGuids(QVector<DMXGuidRecord> &records);
// The same over a list of elements (a document's flat list); true when any
// element got a new GUID.
bool regenerateGuids(const QList<DMXElement *> &elements);
// Gives each element from position `first` on a non-null GUID that no other
// listed element holds; the elements before `first` keep theirs, repeated or
// null as they may be. True when any element got a new GUID.
bool renewGuidsFrom(const QList<DMXElement *> &elements, int first);
// The same as regenerateGuids over the elements of several documents together, in order; a
// document is marked changed when one of its elements was.
void ensureGuidUniqueness(QVector<PCFGuidRecord> &records);
