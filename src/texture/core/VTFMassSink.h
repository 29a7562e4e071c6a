#pragma once

#include <QString>

// Where a bulk texture conversion reports. The core shows nothing itself: the
// converter window puts its run page behind this, tests a recorder.
class VTFMassSink
{
public:
    virtual ~VTFMassSink() = default;

    // A request refused before the walk; the user must acknowledge it.
    virtual void refuse(const QString &text) { Q_UNUSED(text) }
    // One line about one problem; the run goes on.
    virtual void log(const QString &text) { Q_UNUSED(text) }
    // The file in hand: ".../" and its path below the source folder.
    virtual void setCurrent(const QString &title) { Q_UNUSED(title) }
    // Asked before each entry of the walk; true ends the run there.
    virtual bool stopRequested() { return false; }
};
