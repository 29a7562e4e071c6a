#pragma once

#include <QRegExp>
#include <QString>

// The name matching of the package viewer's search. Expressions are not
// anchored: a pattern only has to match some part of the name, so "*.vtf"
// also finds "brick.vtf.bak".
class CPackageSearch
{
public:
    // Rows of the search dialog's mode list.
    enum Mode
    {
        Substring = 0,
        WholeString = 1,
        Wildcard = 2,
        RegularExpression = 3
    };

    // A mode outside the list counts as Substring.
    CPackageSearch(const QString &query, int mode, bool caseSensitive);

    // An empty query or an invalid expression matches nothing.
    bool matches(const QString &name) const;

    Mode mode() const { return m_mode; }

private:
    QString m_query;
    Mode m_mode = Substring;
    Qt::CaseSensitivity m_case = Qt::CaseInsensitive;
    QRegExp m_expression;
};
