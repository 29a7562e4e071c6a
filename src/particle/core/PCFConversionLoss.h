#pragma once

#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// What a format conversion took out of one particle system: the functions
// (and other list entries) the target does not know, by list and name, and
// the attributes its template lacks, by owner and name, each with a count.
class PCFConversionLoss
{
public:
    using Key = QPair<QString, QString>;

    explicit PCFConversionLoss(const QString &systemName = QString());

    // An entry of `list` named `name` left the system.
    void dropFunction(const QString &list, const QString &name);
    // Attribute `name` left the element `owner`; an empty owner is the
    // system itself.
    void dropParameter(const QString &owner, const QString &name);

    bool isEmpty() const { return m_functions.isEmpty() && m_parameters.isEmpty(); }
    int functionCount() const;
    int parameterCount() const;
    const QString &system() const { return m_system; }
    const QMap<Key, int> &functions() const { return m_functions; }
    const QMap<Key, int> &parameters() const { return m_parameters; }

    // One line for the output pane and the batch log; `subject` names the
    // document.
    QString text(const QString &subject) const;

private:
    QString m_system;
    QMap<Key, int> m_functions;
    QMap<Key, int> m_parameters;
};

// The losses of one conversion, one per system that lost anything, in the
// order of the system list.
using PCFConversionReport = QVector<PCFConversionLoss>;

// The lines of a report, one per system; none when nothing was dropped.
QStringList conversionReportLines(const PCFConversionReport &report, const QString &subject);
