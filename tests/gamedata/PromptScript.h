#pragma once

#include "CPrompt.h"

// Answers a tool's questions in the order given (cancelling any beyond them)
// and keeps what was asked.
class PromptScript
{
public:
    PromptScript()
        : m_handler([this](const CPrompt::Request &request) {
            requests << request;
            return answers.isEmpty() ? CPrompt::Answer() : answers.takeFirst();
        })
    {}
    PromptScript &text(const QString &text) { return add(true, text); }
    PromptScript &value(int value) { return add(true, {}, value); }
    PromptScript &color(const QColor &color) { return add(true, {}, 0, color); }
    PromptScript &button(int button) { return add(false, {}, 0, {}, button); }
    PromptScript &cancel() { return add(false); }
    // "title|text" of each request.
    QStringList texts() const
    {
        QStringList out;
        for (const CPrompt::Request &r : requests)
            out << r.title + '|' + r.text;
        return out;
    }

    QList<CPrompt::Request> requests;
    QList<CPrompt::Answer> answers;

private:
    PromptScript &add(bool ok, const QString &text = {}, int value = 0, const QColor &color = {},
                      int button = 0)
    {
        CPrompt::Answer answer;
        answer.ok = ok;
        answer.text = text;
        answer.value = value;
        answer.color = color;
        answer.button = QMessageBox::StandardButton(button);
        answer.result = button;
        answers << answer;
        return *this;
    }

    CPrompt::ScopedHandler m_handler;
};
