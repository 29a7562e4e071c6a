#pragma once

#include <QString>

#include <utility>

// A new widget of type T built from `args`, with that object name: windows
// and tests find their fields by name.
template <typename T, typename... Args>
T *namedWidget(const char *objectName, Args &&...args)
{
    auto *widget = new T(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}
