#pragma once

#include "CPrompt.h"
#include "QListDialog.h"
#include "SlowAnswer.h"

#include <QListWidget>

#include <algorithm>
#include <functional>

// Answers every question a tool asks through CPrompt while it lives and keeps
// the questions in `asked`. Needs common_ui.
// - With `answer` set, that function answers every question.
// - Otherwise the queued steps answer in order, and a question beyond them is
//   cancelled. A step may work the dialog its question runs through (fill it
//   in, pick a row) before its answer goes back.
// - `slow` makes it take its time over each question (see SlowAnswer).
// A script for one tool derives from it, naming itself as `Self` so that the
// queueing calls chain with its own, and may hide answerRequest() to look at
// each question around the queue.
template <typename Self>
class PromptQueue
{
public:
    using Fill = std::function<void(QDialog *)>;
    struct Step
    {
        CPrompt::Answer answer;
        Fill fill;
    };

    PromptQueue() = default;
    PromptQueue(const PromptQueue &) = delete;
    PromptQueue &operator=(const PromptQueue &) = delete;

    Self &then(const CPrompt::Answer &reply, const Fill &fill = {})
    {
        steps << Step{reply, fill};
        return static_cast<Self &>(*this);
    }
    Self &text(const QString &text)
    {
        CPrompt::Answer a;
        a.ok = true;
        a.text = text;
        return then(a);
    }
    // Chosen files (the first for one file); none cancels.
    Self &files(const QStringList &paths)
    {
        CPrompt::Answer a;
        a.ok = !paths.isEmpty();
        a.text = paths.value(0);
        a.texts = paths;
        return then(a);
    }
    Self &value(int value)
    {
        CPrompt::Answer a;
        a.ok = true;
        a.value = value;
        return then(a);
    }
    Self &color(const QColor &color)
    {
        CPrompt::Answer a;
        a.ok = true;
        a.color = color;
        return then(a);
    }
    // A message box's button, also the result of a dialog run through exec.
    Self &button(int button)
    {
        CPrompt::Answer a;
        a.button = QMessageBox::StandardButton(button);
        a.result = button;
        return then(a);
    }
    Self &cancel() { return then(CPrompt::Answer()); }
    // Accepts the dialog after `fill` has worked it.
    Self &accept(const Fill &fill)
    {
        CPrompt::Answer a;
        a.result = QDialog::Accepted;
        return then(a, fill);
    }
    // Picks a row of a list dialog.
    Self &pick(int row)
    {
        return accept([row](QDialog *dialog) {
            if (auto *list = qobject_cast<QListDialog *>(dialog))
                list->list->setCurrentRow(row);
        });
    }

    int count(CPrompt::Kind kind) const
    {
        return int(std::count_if(asked.begin(), asked.end(),
                                 [kind](const CPrompt::Request &r) { return r.kind == kind; }));
    }
    // "title|text" of each question.
    QStringList texts() const
    {
        QStringList out;
        for (const CPrompt::Request &r : asked)
            out << r.title + '|' + r.text;
        return out;
    }

    CPrompt::Answer answerRequest(const CPrompt::Request &request)
    {
        asked << request;
        slow.wait(request.dialog);
        if (answer)
            return answer(request);
        if (steps.isEmpty())
            return CPrompt::Answer();
        const Step step = steps.takeFirst();
        if (step.fill && request.dialog)
            step.fill(request.dialog);
        return step.answer;
    }

    std::function<CPrompt::Answer(const CPrompt::Request &)> answer;
    QList<CPrompt::Request> asked;
    QList<Step> steps;
    SlowAnswer slow;

private:
    CPrompt::ScopedHandler m_handler{[this](const CPrompt::Request &request) {
        return static_cast<Self *>(this)->answerRequest(request);
    }};
};

// The script with nothing of its own.
class PromptScript : public PromptQueue<PromptScript>
{};
