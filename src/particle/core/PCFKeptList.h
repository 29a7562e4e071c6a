#pragma once

#include <QByteArray>
#include <QHash>
#include <QPair>
#include <QSet>
#include <QString>

// What real particle files of one encoding carry beyond its parameter tables,
// as the data files formatN-kept.tsv list it: whole functions the tables lack,
// and parameters, by name and type, of functions they know. The games that
// read the encoding know these, so a conversion to it keeps them where a file
// has them; it never adds them, as no default is known.
class PCFKeptList
{
public:
    struct Function
    {
        // The tables lack the function: an element of it stays with every
        // attribute it has.
        bool whole = false;
        QSet<QPair<QString, uint>> parameters;

        // True for a parameter of that exact name and attribute type code.
        bool keeps(const QString &name, uint type) const
        {
            return parameters.contains(qMakePair(name, type));
        }
    };

    // Adds the rows of one file (its name in `source` for messages). False
    // with the reason in `error`; the list may then hold some of its rows.
    bool add(const QByteArray &text, const QString &source, QString *error);
    bool load(const QString &path, QString *error);

    // The function of a system list ("operators") by its name, in any case;
    // null when no row names it.
    const Function *function(const QString &list, const QString &name) const;
    int rowCount() const { return m_rows; }
    int functionCount() const { return m_functions.size(); }

private:
    bool addRow(const QStringList &columns, const QString &where, QString *error);

    // list + '\n' + case-folded name.
    QHash<QString, Function> m_functions;
    int m_rows = 0;
};
