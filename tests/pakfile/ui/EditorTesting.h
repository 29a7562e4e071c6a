#pragma once

#include "CPrompt.h"
#include "QListDialog.h"
#include "QProgressDialogger.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
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

inline QStringList column(QTableWidget *rows, int c)
{
    QStringList texts;
    for (int row = 0; row < rows->rowCount(); ++row)
        texts << rows->item(row, c)->text();
    return texts;
}

// One letter per row for its colour: Yellow, Green, Cyan, Orange, Blue, Red,
// or "?".
inline QString colours(QTableWidget *rows)
{
    const QHash<QRgb, QChar> known{{qRgb(255, 255, 192), 'Y'}, {qRgb(192, 255, 192), 'G'},
                                   {qRgb(192, 255, 255), 'C'}, {qRgb(255, 224, 192), 'O'},
                                   {qRgb(192, 192, 255), 'B'}, {qRgb(255, 192, 192), 'R'}};
    QString letters;
    for (int row = 0; row < rows->rowCount(); ++row)
        letters += known.value(rows->item(row, 0)->background().color().rgb(), '?');
    return letters;
}

// Selects the whole rows whose names are given.
inline void select(QTableWidget *rows, const QStringList &names)
{
    rows->clearSelection();
    for (int row = 0; row < rows->rowCount(); ++row) {
        if (names.contains(rows->item(row, 0)->text()))
            rows->selectionModel()->select(rows->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}
