#include "VVBSP.h"

#include "CFileVBSP.h"

#include "ToolPlaceholder.h"
#include <QIcon>

VVBSP::VVBSP()
{
    initialize();
}

VVBSP::VVBSP(const QString &path)
    : m_path(path)
{
    initialize();
}

VVBSP::VVBSP(CFileVBSP *document)
    : m_document(document)
{
    if (m_document)
        m_path = QString::fromStdString(m_document->path);
    initialize();
}

VVBSP::~VVBSP()
{
    delete m_document;
}

void VVBSP::initialize()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("VBSP Editor[*]"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/icon_vbsp")));
    setCentralWidget(
        toolPlaceholder(tr("Detail-prop editing is not available in this version."), m_path));
    setMinimumSize(400, 300);
}
