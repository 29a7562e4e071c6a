#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

// The parameter sets of one game generation's particle functions, as the data
// files in src/resources/data/particle-parameters list them: one row per
// attribute of a function element (function, kind, parameter, declared type,
// default text), in the order the engine declares them. Functions are told
// apart by kind and name: an operator and an initializer may share a name and
// differ in their parameters.
class PCFParameterTable
{
public:
    struct Parameter
    {
        QString name;
        uint type = 0;
        // Default value as attribute text (DMXAttribute::setValueFromString).
        QString value;
    };

    struct Function
    {
        // The system's list that holds the function ("operators").
        QString list;
        QString name;
        QVector<Parameter> parameters;
    };

    // Adds the rows of one file (its name in `source` for messages). Rows of
    // a `candidates` file join functions the table already holds, ahead of
    // their "operator " parameters. False with the reason in `error`; the
    // table may then hold some of the file's rows.
    bool add(const QByteArray &text, const QString &source, bool candidates, QString *error);
    bool load(const QString &path, bool candidates, QString *error);

    // The functions in the order of their first row.
    const QVector<Function> &functions() const { return m_functions; }
    const Function *function(const QString &list, const QString &name) const;
    // Attributes over all functions.
    int rowCount() const;

    // "operators" for "operator" and so on; null for an unknown kind.
    static QString listOfKind(const QString &kind);
    // The attribute type code of a declared type ("Vector" is VECTOR3); 0
    // for an unknown one.
    static uint typeOf(const QString &declared);
    // The default as attribute text: float components lose a C suffix
    // ("4.0f" becomes "4.0"), an integer its zero fraction ("1.0" is "1").
    static QString valueText(uint type, const QString &declared);

private:
    bool addRow(const QStringList &columns, const QString &where, bool candidate, QString *error);

    QVector<Function> m_functions;
    // list + '\n' + name to the position in m_functions.
    QHash<QString, int> m_index;
};
