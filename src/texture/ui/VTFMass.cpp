#include "VTFMass.h"

#include "ToolPlaceholder.h"
#include <QIcon>

#include <QVBoxLayout>

VTFMass::VTFMass()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Mass VTF Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vtfmass2.png")));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        toolPlaceholder(tr("Bulk texture conversion is not available in this version.")));
    setMinimumSize(400, 300);
}

VTFMass::~VTFMass() = default;
