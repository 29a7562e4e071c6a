#include "VVTF.h"

#include "CFileVTF.h"

#include "ToolPlaceholder.h"

VVTF::VVTF(const QString &path)
    : m_path(path)
{
    initialize();
}

VVTF::VVTF(CFileVTF *document)
    : m_document(document)
{
    if (m_document)
        m_path = m_document->toString();
    initialize();
}

VVTF::~VVTF()
{
    delete m_document;
}

void VVTF::initialize()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("VTF Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vvtf")));
    setCentralWidget(
        toolPlaceholder(tr("Texture editing is not available in this version."), m_path));
    setMinimumSize(400, 300);
}
