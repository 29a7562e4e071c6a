#pragma once

#include <QLabel>
#include <QString>

// The body of a tool window whose tools have not arrived in this build: a
// centred, greyed note saying what is not available, and below it what the
// window was asked to open, shown as plain text (paths may hold '<').
inline QLabel *toolPlaceholder(const QString &note, const QString &subject = QString(),
                               QWidget *parent = nullptr)
{
    QString text = note;
    if (!subject.isEmpty())
        text += QLatin1Char('\n') + subject;
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("toolPlaceholder"));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setEnabled(false);
    return label;
}
