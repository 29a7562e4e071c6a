#pragma once

#include "CPrompt.h"
#include "SlowAnswer.h"

#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>

// Answers every question a tool asks through CPrompt while it lives, and keeps
// the questions. Needs common_ui.
// - Message boxes: the button of the last `buttons` key that starts the
//   question's text, else No.
// - File and folder dialogs: `files` (the first for one file); none cancels.
// - Number boxes: `number`; a negative one cancels.
// - Dialogs run through exec: the push button named `button` is clicked; or
//   the `fields` are typed into the line edits named field0, field1, ... and
//   the dialog is accepted; any other dialog (a message box) ends with
//   `result`.
// - `slow` makes it take its time over each question (see SlowAnswer).
struct ScriptedPrompt
{
    QMap<QString, QMessageBox::StandardButton> buttons;
    QStringList files;
    int number = -1;
    QString button;
    QStringList fields;
    int result = QMessageBox::Cancel;
    SlowAnswer slow;

    QList<CPrompt::Request> asked;
    QStringList warnings;
    // Title, text and informative text of each message box run through exec.
    QStringList boxes;

    CPrompt::ScopedHandler handler{[this](const CPrompt::Request &r) { return answer(r); }};

    CPrompt::Answer answer(const CPrompt::Request &request)
    {
        asked << request;
        slow.wait(request.dialog);
        if (request.kind == CPrompt::Kind::Warning)
            warnings << request.text;
        CPrompt::Answer a;
        a.button = QMessageBox::No;
        for (auto it = buttons.cbegin(); it != buttons.cend(); ++it) {
            if (request.text.startsWith(it.key()))
                a.button = it.value();
        }
        a.ok = request.kind == CPrompt::Kind::Int ? number >= 0 : !files.isEmpty();
        a.text = files.value(0);
        a.texts = files;
        a.value = number;
        a.result = result;
        QDialog *dialog = request.dialog;
        auto *push =
            dialog && !button.isEmpty() ? dialog->findChild<QPushButton *>(button) : nullptr;
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            boxes << request.title + '|' + box->text() + '|' + box->informativeText();
        } else if (push) {
            push->click();
            a.result = dialog->result();
        } else if (dialog && !fields.isEmpty()) {
            for (int i = 0; i < fields.size(); ++i)
                dialog->findChild<QLineEdit *>(QStringLiteral("field%1").arg(i))
                    ->setText(fields[i]);
            a.result = QDialog::Accepted;
        }
        return a;
    }
};
