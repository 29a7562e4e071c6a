#include "VENTITY.h"

#include "ToolPlaceholder.h"
#include <QIcon>

VENTITY::VENTITY(QWidget *owner, const QString &path)
    : m_owner(owner)
    , m_path(path)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Entity Lump Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/ventity")));
    setCentralWidget(
        toolPlaceholder(tr("Entity lump editing is not available in this version."), path));
    setMinimumSize(600, 400);
}

VENTITY::~VENTITY() = default;
