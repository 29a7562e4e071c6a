#include "VMass.h"

#include "ToolPlaceholder.h"
#include <QIcon>

VMass::VMass(QWidget *parent)
    : QSplitter(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Mass VMT Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vmass.png")));
    addWidget(toolPlaceholder(tr("Bulk material editing is not available in this version.")));
    setMinimumSize(400, 300);
}

VMass::~VMass() = default;
