#include "CPackageSearch.h"

CPackageSearch::CPackageSearch(const QString &query, int mode, bool caseSensitive)
    : m_query(query)
    , m_case(caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive)
{
    if (mode == WholeString || mode == Wildcard || mode == RegularExpression)
        m_mode = Mode(mode);
    if (m_mode == Wildcard || m_mode == RegularExpression) {
        m_expression =
            QRegExp(query, m_case, m_mode == Wildcard ? QRegExp::Wildcard : QRegExp::RegExp);
    }
}

bool CPackageSearch::matches(const QString &name) const
{
    if (m_query.isEmpty())
        return false;
    switch (m_mode) {
    case Substring:
        return name.indexOf(m_query, 0, m_case) != -1;
    case WholeString:
        return name.compare(m_query, m_case) == 0;
    case Wildcard:
    case RegularExpression:
        return m_expression.isValid() && m_expression.indexIn(name, 0) != -1;
    }
    return false;
}
