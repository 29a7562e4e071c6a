#include "VVMT.h"

#include "ToolPlaceholder.h"
#include <QIcon>

VVMT::VVMT(const QString &path)
    : m_path(path)
{
    setWindowTitle(QStringLiteral("VMT Editor[*]"));
    initialize(path);
}

VVMT::VVMT(const QByteArray &data, const QString &name)
    : m_data(data)
{
    setWindowTitle(name + QStringLiteral("[*]"));
    initialize(name);
}

VVMT::~VVMT() = default;

void VVMT::initialize(const QString &shown)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vvmt")));
    setCentralWidget(
        toolPlaceholder(tr("Material editing is not available in this version."), shown));
    setMinimumSize(400, 300);
}
