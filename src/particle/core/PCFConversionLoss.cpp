#include "PCFConversionLoss.h"

#include "PCFToolTexts.h"

namespace {

QString latin1(const char *text)
{
    return QString::fromLatin1(text);
}

int total(const QMap<PCFConversionLoss::Key, int> &counts)
{
    int sum = 0;
    for (int count : counts)
        sum += count;
    return sum;
}

QString counted(const QString &item, int count)
{
    return count > 1 ? latin1(PCFText::LostCount).arg(item).arg(count) : item;
}

} // namespace

PCFConversionLoss::PCFConversionLoss(const QString &systemName)
    : m_system(systemName)
{}

void PCFConversionLoss::dropFunction(const QString &list, const QString &name)
{
    ++m_functions[Key(list, name)];
}

void PCFConversionLoss::dropParameter(const QString &owner, const QString &name)
{
    ++m_parameters[Key(owner, name)];
}

int PCFConversionLoss::functionCount() const
{
    return total(m_functions);
}

int PCFConversionLoss::parameterCount() const
{
    return total(m_parameters);
}

QString PCFConversionLoss::text(const QString &subject) const
{
    QStringList sections;
    if (!m_functions.isEmpty()) {
        QStringList items;
        for (auto it = m_functions.cbegin(); it != m_functions.cend(); ++it)
            items << counted(latin1(PCFText::LostFunction).arg(it.key().first, it.key().second),
                             it.value());
        sections << latin1(PCFText::LostFunctions).arg(functionCount()).arg(items.join(", "));
    }
    if (!m_parameters.isEmpty()) {
        QStringList items;
        for (auto it = m_parameters.cbegin(); it != m_parameters.cend(); ++it) {
            const QString item =
                it.key().first.isEmpty()
                    ? latin1(PCFText::LostSystemParameter).arg(it.key().second)
                    : latin1(PCFText::LostParameter).arg(it.key().second, it.key().first);
            items << counted(item, it.value());
        }
        sections << latin1(PCFText::LostParameters).arg(parameterCount()).arg(items.join(", "));
    }
    return latin1(PCFText::ConversionLoss).arg(subject, m_system, sections.join("; "));
}

QStringList conversionReportLines(const PCFConversionReport &report, const QString &subject)
{
    QStringList lines;
    for (const PCFConversionLoss &loss : report) {
        if (!loss.isEmpty())
            lines << loss.text(subject);
    }
    return lines;
}
