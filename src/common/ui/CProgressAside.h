#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QProgressDialog;

// Progress dialogs are modal, and the toolkit's own shows itself from a timer
// once its minimum duration has passed. Shown over a box that waits for an
// answer, it takes every click and key and the box can never be answered.
// CPrompt steps every progress dialog aside while a box is up; a tool that is
// done with a dialog before its box ends it with end().
class CProgressAside
{
public:
    // Hides every visible progress dialog at work but `keep` (the dialog about
    // to be run itself) and keeps the toolkit's dialogs from showing
    // themselves. A finished one, waiting for Ok, is a box of its own and
    // stays.
    // Leaving the scope shows the hidden ones again, for the work that follows
    // the answer.
    explicit CProgressAside(const QWidget *keep = nullptr);
    ~CProgressAside();

    CProgressAside(const CProgressAside &) = delete;
    CProgressAside &operator=(const CProgressAside &) = delete;

    // A dialog whose work is over: hidden, and its timer can no longer bring
    // it back.
    static void end(QProgressDialog &dialog);

private:
    QList<QPointer<QWidget>> m_hidden;
};
