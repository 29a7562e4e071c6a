#include "VFGD.h"

#include "CFileFGD.h"

#include "ToolPlaceholder.h"
#include <QIcon>

VFGD::VFGD(CFileFGD *document)
    : m_document(document)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("FGD Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/fgd.png")));
    setCentralWidget(toolPlaceholder(tr("Entity definitions are not available in this version."),
                                     m_document ? m_document->displayName() : QString()));
    setMinimumSize(400, 300);
}

VFGD::~VFGD()
{
    delete m_document;
}
