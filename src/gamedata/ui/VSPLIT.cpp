#include "VSPLIT.h"

#include "ToolPlaceholder.h"
#include <QIcon>

#include <QVBoxLayout>

VSPLIT::VSPLIT()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Hammer Splitter Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vsplit")));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(toolPlaceholder(tr("Splitter settings are not available in this version.")));
    setMinimumSize(400, 200);
    adjustSize();
}

VSPLIT::~VSPLIT() = default;
