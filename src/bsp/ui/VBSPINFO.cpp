#include "VBSPINFO.h"

#include "CDelegateBSP.h"

#include "ToolPlaceholder.h"
#include <QIcon>

#include <QVBoxLayout>

VBSPINFO::VBSPINFO(CDelegateBSP *delegate, QWidget *parent)
    : QWidget(parent)
{
    if (delegate)
        m_mapName = delegate->fileName();
    initialize();
}

VBSPINFO::VBSPINFO(const QString &path, QWidget *parent)
    : QWidget(parent)
    , m_mapName(path)
{
    initialize();
}

VBSPINFO::~VBSPINFO() = default;

void VBSPINFO::initialize()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("BSP Info"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vbspinfo")));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        toolPlaceholder(tr("Map information is not available in this version."), m_mapName));
    setMinimumSize(400, 300);
}
