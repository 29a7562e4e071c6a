#pragma once

#include <QString>

// One key/value pair of an entity, in the order the entity holds it.
struct CEntityKeyValue
{
    QString key;
    QString value;
};
