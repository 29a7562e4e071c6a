#pragma once

#include <QString>

// Where the particle batch tools report their progress and their per-file
// messages. The core never shows anything itself: the editor puts a progress
// dialog (and message boxes or a log) behind this, tests a recorder.
class PCFProgressSink
{
public:
    virtual ~PCFProgressSink() = default;

    virtual void setLabel(const QString &text) { Q_UNUSED(text) }
    virtual void setRange(int minimum, int maximum)
    {
        Q_UNUSED(minimum)
        Q_UNUSED(maximum)
    }
    virtual void setValue(int value) { Q_UNUSED(value) }
    // One message about one item; the run goes on.
    virtual void message(const QString &text, bool isError)
    {
        Q_UNUSED(text)
        Q_UNUSED(isError)
    }
};
