#include "CDialoggerSink.h"

#include "QProgressDialogger.h"

CDialoggerSink::CDialoggerSink(QProgressDialogger *dialog)
    : m_dialog(dialog)
{}

void CDialoggerSink::setLabel(const QString &text)
{
    m_dialog->setLabelText(text);
}

void CDialoggerSink::setRange(int minimum, int maximum)
{
    m_dialog->setRange(minimum, maximum);
}

void CDialoggerSink::setValue(int value)
{
    m_dialog->setValue(value);
}

void CDialoggerSink::message(const QString &text, bool isError)
{
    m_dialog->log(text, isError);
}
