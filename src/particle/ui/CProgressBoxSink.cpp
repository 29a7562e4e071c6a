#include "CProgressBoxSink.h"

#include "CPrompt.h"

#include <QDebug>
#include <QProgressDialog>

CProgressBoxSink::CProgressBoxSink(QProgressDialog *dialog, const QString &title)
    : m_dialog(dialog)
    , m_title(title)
{}

void CProgressBoxSink::setLabel(const QString &text)
{
    m_dialog->setLabelText(text);
    // The next step may hold the thread for a while: show the text now.
    m_dialog->repaint();
}

void CProgressBoxSink::setRange(int minimum, int maximum)
{
    m_dialog->setRange(minimum, maximum);
}

void CProgressBoxSink::setValue(int value)
{
    // A batch reports every file and element; each value the modal dialog
    // takes processes events.
    if (m_throttle.due(value, m_dialog->maximum()))
        m_dialog->setValue(value);
}

void CProgressBoxSink::message(const QString &text, bool isError)
{
    // A failure stops the user; a report (what a conversion dropped) goes to
    // the output pane, where a run over many files can be read at the end.
    if (!isError) {
        qWarning().noquote() << text;
        return;
    }
    CPrompt::warning(m_dialog, m_title, text, QMessageBox::Ok);
}
