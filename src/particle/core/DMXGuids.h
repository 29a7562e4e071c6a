#pragma once

#include <QList>

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
// twice is no duplicate. Records of renewed elements are marked changed.
void regenerateGuids(QList<DMXGuidRecord> &records);
// The same over the elements of several documents together, in order; a
// document is marked changed when one of its elements was.
void ensureGuidUniqueness(QList<PCFGuidRecord> &records);
