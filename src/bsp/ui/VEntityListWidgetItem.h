#pragma once

#include "CEntity.h"

#include <QListWidgetItem>

// One entity as a row of the entity editor's list: the entity's pairs and a
// display text that the editor keeps to the entity's label.
class VEntityListWidgetItem : public QListWidgetItem, public CEntity
{
public:
    // An empty label and no pairs.
    VEntityListWidgetItem();
    explicit VEntityListWidgetItem(CEntity entity, const QString &label = QString());
    ~VEntityListWidgetItem() override;
};
