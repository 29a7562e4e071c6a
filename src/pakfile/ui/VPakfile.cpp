#include "VPakfile.h"

#include "ToolPlaceholder.h"
#include <QIcon>

namespace {
QString notAvailable()
{
    return VPakfile::tr("Pakfile editing is not available in this version.");
}
} // namespace

VPakfile::VPakfile()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Pakfile Lump Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vpakfile")));
    m_label = toolPlaceholder(notAvailable());
    addWidget(m_label);
    setMinimumSize(800, 400);
}

VPakfile::~VPakfile() = default;

bool VPakfile::open(const QString &path)
{
    m_requestedPath = path;
    m_label->setText(notAvailable() + QLatin1Char('\n') + path);
    return false;
}
