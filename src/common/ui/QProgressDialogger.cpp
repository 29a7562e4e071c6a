#include "QProgressDialogger.h"

#include "uifunctions.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

QProgressDialogger::QProgressDialogger(QWidget *parent)
    : QDialog(parent)
{
    build();
}

QProgressDialogger::QProgressDialogger(const QString &labelText, int minimum, int maximum,
                                       const QString &logText, QWidget *parent)
    : QDialog(parent)
{
    build();
    setLabelText(labelText);
    if (!logText.isEmpty())
        logEdit->setPlainText(logText);
    setRange(minimum, maximum);
}

void QProgressDialogger::build()
{
    label = new QLabel(tr("Processing..."), this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);

    extraLabel = new QLabel(this);
    extraLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    extraLabel->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);

    progressBar = new QProgressBar(this);
    progressBar->setRange(0, 100);
    progressBar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    logEdit = new QTextEdit(this);
    logEdit->setReadOnly(true);
    logEdit->setAcceptRichText(false);
    logEdit->setMinimumHeight(100);
    logEdit->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    logEdit->hide();

    buttonToggleLog = new QPushButton(tr("More >>"), this);
    buttonToggleLog->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    buttonToggleLog->hide();
    connect(buttonToggleLog, &QPushButton::clicked, this, &QProgressDialogger::toggleLog);

    buttonCancel = new QPushButton(tr("Cancel"), this);
    buttonCancel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(buttonCancel, &QPushButton::clicked, this, &QProgressDialogger::setCanceled);

    buttonOk = new QPushButton(tr("Ok"), this);
    buttonOk->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    buttonOk->setEnabled(false);
    connect(buttonOk, &QPushButton::clicked, this, &QDialog::accept);

    auto *labels = new QHBoxLayout;
    labels->addWidget(label);
    labels->addWidget(extraLabel);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(buttonToggleLog);
    buttons->addStretch();
    buttons->addWidget(buttonCancel);
    buttons->addWidget(buttonOk);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(labels);
    layout->addWidget(progressBar);
    layout->addWidget(logEdit);
    layout->addLayout(buttons);
    setContentsMargins(0, 0, 0, 0);
    setModal(true);

    if (QWidget *owner = parentWidget()) {
        setWindowTitle(owner->windowTitle());
        setWindowIcon(owner->windowIcon());
    }
    hideLog();
}

void QProgressDialogger::log(const QString &text, bool isError)
{
    if (!text.isEmpty())
        appendPlainLine(logEdit, text);
    if (isError) {
        hasError = true;
        if (keepOpenOnError)
            autoClose = false;
    }
    if (openLogOnFirstMessage) {
        showLog();
        openLogOnFirstMessage = false;
    }
}

void QProgressDialogger::setLabelText(const QString &text)
{
    label->setText(text);
}

void QProgressDialogger::setExtraLabelText(const QString &text)
{
    extraLabel->setText(text);
}

void QProgressDialogger::setMaximum(int maximum)
{
    progressBar->setMaximum(maximum);
}

void QProgressDialogger::setMinimum(int minimum)
{
    progressBar->setMinimum(minimum);
}

void QProgressDialogger::setRange(int minimum, int maximum)
{
    progressBar->setRange(minimum, maximum);
}

void QProgressDialogger::setValue(int progress)
{
    progressBar->setValue(progress);
    // Operations call this once per item; the dialog and the events follow
    // only as often as someone can see them.
    if (!m_throttle.due(progress, progressBar->maximum()))
        return;
    if (progress < progressBar->maximum()) {
        buttonOk->setEnabled(false);
        buttonCancel->setEnabled(true);
        setVisible(true);
    } else {
        buttonOk->setEnabled(true);
        buttonCancel->setEnabled(false);
        if (autoClose) {
            // Finishing is not the user closing the window: no canceled().
            m_closingByItself = true;
            close();
            m_closingByItself = false;
        }
    }
    QCoreApplication::processEvents();
}

void QProgressDialogger::incrementValue()
{
    // A bar that was never set reports minimum - 1; counting from there, one
    // call per item would stop one short of the maximum and never finish.
    const int current = qMax(progressBar->value(), progressBar->minimum());
    if (current < progressBar->maximum())
        setValue(current + 1);
}

void QProgressDialogger::showLog()
{
    logEdit->show();
    buttonToggleLog->setText(tr("Less <<"));
}

void QProgressDialogger::hideLog()
{
    logEdit->hide();
    buttonToggleLog->setText(tr("More >>"));
    adjustSize();
}

void QProgressDialogger::toggleLog()
{
    // The pane's own state: isVisible() is false while the dialog is hidden.
    if (!logEdit->isHidden())
        hideLog();
    else
        showLog();
}

void QProgressDialogger::setCanceled()
{
    isCanceled = true;
    reject();
}

void QProgressDialogger::unsetCanceled()
{
    isCanceled = false;
}

void QProgressDialogger::setError()
{
    hasError = true;
}

void QProgressDialogger::unsetError()
{
    hasError = false;
}

void QProgressDialogger::setButtonOkEnabled(bool enabled)
{
    buttonOk->setEnabled(enabled);
}

void QProgressDialogger::setButtonCancelVisible(bool visible)
{
    buttonCancel->setVisible(visible);
}

void QProgressDialogger::setButtonCancelEnabled(bool enabled)
{
    buttonCancel->setEnabled(enabled);
}

void QProgressDialogger::setButtonToggleLogVisible(bool visible)
{
    buttonToggleLog->setVisible(visible);
}

void QProgressDialogger::setButtonToggleLogEnabled(bool enabled)
{
    buttonToggleLog->setEnabled(enabled);
}

void QProgressDialogger::closeEvent(QCloseEvent *event)
{
    if (!m_closingByItself)
        emit canceled();
    QDialog::closeEvent(event);
}
