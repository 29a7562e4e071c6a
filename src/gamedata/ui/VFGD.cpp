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
    // The document is parsed; only its browser is still to come.
    QString subject;
    if (m_document)
        subject = tr("%1: entity classes: %2")
                      .arg(m_document->displayName())
                      .arg(m_document->classes.size());
    setCentralWidget(toolPlaceholder(
        tr("The entity definition browser is not available in this version."), subject));
    setMinimumSize(400, 300);
}

VFGD::~VFGD()
{
    delete m_document;
}
