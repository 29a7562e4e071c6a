#pragma once

#include "CProgressThrottle.h"

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;

// The progress dialog every long operation shares: a label, a second label, a
// bar, a collapsible log and the buttons Ok and Cancel. Operations run on the
// interface thread; setValue() processes pending events, which keeps the
// interface alive and is where a Cancel click arrives. The operation polls
// `isCanceled` between items. The bar takes every value, but the rest of
// setValue runs only for the steps CProgressThrottle lets through (always the
// first, a restart and the maximum).
//
// A value below the maximum shows the dialog (Ok disabled, Cancel enabled);
// the maximum finishes it (Ok enabled, Cancel disabled) and closes it when
// `autoClose` is set. An error logged while `keepOpenOnError` is set clears
// `autoClose`, so the log can be read at the end.
//
// Cancel sets `isCanceled` and hides the dialog. The window's own close button
// only emits canceled(); it does not mark the operation canceled.
class QProgressDialogger : public QDialog
{
    Q_OBJECT

public:
    explicit QProgressDialogger(QWidget *parent = nullptr);
    QProgressDialogger(const QString &label, int minimum, int maximum, const QString &log,
                       QWidget *parent = nullptr);

    // Appends the message to the log as plain text (file names and contents
    // are quoted here, so nothing is read as markup). The first call opens the
    // log pane, even with an empty message.
    void log(const QString &text, bool isError = false);

    bool autoClose = false;
    bool keepOpenOnError = true;
    bool openLogOnFirstMessage = true;
    bool isCanceled = false;
    bool hasError = false;

    // Reached directly by the operations that drive the dialog.
    QLabel *label = nullptr;
    QLabel *extraLabel = nullptr;
    QProgressBar *progressBar = nullptr;
    QTextEdit *logEdit = nullptr;
    QPushButton *buttonToggleLog = nullptr;
    QPushButton *buttonCancel = nullptr;
    QPushButton *buttonOk = nullptr;

signals:
    void canceled();

public slots:
    void setLabelText(const QString &text);
    void setExtraLabelText(const QString &text);
    void setMaximum(int maximum);
    void setMinimum(int minimum);
    void setRange(int minimum, int maximum);
    void setValue(int progress);
    // One step towards the maximum (counting from the minimum while the bar has
    // no value yet); at the maximum nothing happens, not even event processing.
    void incrementValue();
    void showLog();
    void hideLog();
    void toggleLog();
    void setCanceled();
    void unsetCanceled();
    void setError();
    void unsetError();
    void setButtonOkEnabled(bool enabled);
    void setButtonCancelVisible(bool visible);
    void setButtonCancelEnabled(bool enabled);
    void setButtonToggleLogVisible(bool visible);
    void setButtonToggleLogEnabled(bool enabled);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void build();

    bool m_closingByItself = false;
    CProgressThrottle m_throttle;
};
