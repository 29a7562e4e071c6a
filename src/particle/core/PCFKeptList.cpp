#include "PCFKeptList.h"

#include "DMXTypes.h"
#include "PCFDataFile.h"
#include "PCFErrors.h"
#include "PCFParameterTable.h"

#include <QFileInfo>
#include <QStringList>

namespace {

const QStringList headerColumns{"function_kind", "function_name", "parameter_name", "dmx_type"};

QString key(const QString &list, const QString &name)
{
    return list + QLatin1Char('\n') + name.toCaseFolded();
}

} // namespace

bool PCFKeptList::load(const QString &path, QString *error)
{
    QByteArray text;
    return PCFDataFile::readAll(path, &text, error) && add(text, QFileInfo(path).fileName(), error);
}

bool PCFKeptList::add(const QByteArray &text, const QString &source, QString *error)
{
    return PCFDataFile::forEachRow(
        text, source, headerColumns,
        [&](const QStringList &columns, const QString &where) {
            return addRow(columns, where, error);
        },
        error);
}

bool PCFKeptList::addRow(const QStringList &columns, const QString &where, QString *error)
{
    if (columns.size() < headerColumns.size()) {
        *error = QString::fromLatin1(PCFError::TemplateDataColumns).arg(where);
        return false;
    }
    const QString list = PCFParameterTable::listOfKind(columns[0]);
    if (list.isNull()) {
        *error = QString::fromLatin1(PCFError::TemplateDataKind).arg(columns[0], where);
        return false;
    }
    Function &function = m_functions[key(list, columns[1])];
    const QString &parameter = columns[2];
    if (parameter.isEmpty()) {
        function.whole = true;
    } else {
        const uint type = PCFParameterTable::typeOf(columns[3]);
        if (type == ATTRIBUTE_UNKNOWN) {
            *error = QString::fromLatin1(PCFError::TemplateDataType).arg(columns[3], where);
            return false;
        }
        function.parameters.insert(qMakePair(parameter, type));
    }
    ++m_rows;
    return true;
}

const PCFKeptList::Function *PCFKeptList::function(const QString &list, const QString &name) const
{
    const auto found = m_functions.constFind(key(list, name));
    return found == m_functions.cend() ? nullptr : &found.value();
}
