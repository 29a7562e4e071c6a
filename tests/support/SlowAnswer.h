#pragma once

#include "QProgressDialogger.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

// A user who takes their time over a question: the event loop runs for
// `waitMs` first, and `covered` counts the questions that a progress dialog
// then stands over, or is about to (the toolkit's dialog shows itself from its
// only timer, seconds later). A modal one takes the question's input, and the
// question is never answered.
struct SlowAnswer
{
    int waitMs = 0;
    int covered = 0;

    void wait(const QWidget *running)
    {
        if (waitMs <= 0)
            return;
        QEventLoop loop;
        QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
        loop.exec();
        for (const QWidget *window : QApplication::topLevelWidgets()) {
            if (window != running && covers(window))
                ++covered;
        }
    }

    static bool covers(const QWidget *window)
    {
        // A finished one waits for Ok like any box.
        if (auto *dialogger = qobject_cast<const QProgressDialogger *>(window))
            return dialogger->isVisible() && !dialogger->buttonOk->isEnabled();
        if (!window->inherits("QProgressDialog"))
            return false;
        if (window->isVisible())
            return true;
        for (const QTimer *timer :
             window->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (timer->isActive())
                return true;
        }
        return false;
    }
};
