#include "VEntityListWidgetItem.h"

VEntityListWidgetItem::VEntityListWidgetItem()
    : QListWidgetItem(nullptr, QListWidgetItem::Type)
{}

VEntityListWidgetItem::VEntityListWidgetItem(CEntity entity, const QString &label)
    : QListWidgetItem(label, nullptr, QListWidgetItem::Type)
    , CEntity(std::move(entity))
{}

VEntityListWidgetItem::~VEntityListWidgetItem() = default;
