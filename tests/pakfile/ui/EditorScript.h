#pragma once

#include "CPrompt.h"
#include "QListDialog.h"
#include "QProgressDialogger.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <functional>

using Fill = std::function<void(QDialog *)>;

// Answers the editor's questions in order and keeps each one's text (for a
// box run through exec its text, for a progress dialog its log).
struct Script
{
    QStringList said;
    QList<QPair<CPrompt::Answer, Fill>> answers;
    CPrompt::ScopedHandler handler{[this](const CPrompt::Request &r) {
        auto *box = qobject_cast<QMessageBox *>(r.dialog);
        auto *progress = qobject_cast<QProgressDialogger *>(r.dialog);
        said << (box ? box->text() : progress ? progress->logEdit->toPlainText() : r.text);
        const auto next =
            answers.isEmpty() ? qMakePair(CPrompt::Answer(), Fill()) : answers.takeFirst();
        if (next.second)
            next.second(r.dialog);
        return next.first;
    }};

    Script &answer(int button, const QStringList &texts = {}, const Fill &fill = {})
    {
        CPrompt::Answer a;
        a.button = QMessageBox::StandardButton(button);
        a.result = button;
        a.ok = !texts.isEmpty();
        a.texts = texts;
        a.text = texts.value(0);
        return answers << qMakePair(a, fill), *this;
    }
    Script &button(int b) { return answer(b); }
    Script &paths(const QStringList &chosen) { return answer(0, chosen); }
    Script &pick(int row)
    {
        return answer(QDialog::Accepted, {}, [row](QDialog *d) {
            static_cast<QListDialog *>(d)->list->setCurrentRow(row);
        });
    }
    Script &comment(const QString &text)
    {
        return answer(QDialog::Accepted, {},
                      [text](QDialog *d) { d->findChild<QPlainTextEdit *>()->setPlainText(text); });
    }
};
