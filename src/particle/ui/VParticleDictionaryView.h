#pragma once

#include "QListDialog.h"

class CFilePCF;

// Lists a particle document's string dictionary, one numbered line per
// string, for reading only. The dictionary is the one last read or written.
class VParticleDictionaryView : public QListDialog
{
    Q_OBJECT

public:
    VParticleDictionaryView(QWidget *parent, const CFilePCF *document);
};
