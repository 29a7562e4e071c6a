#include "PCFParameterTable.h"

#include "DMXAttribute.h"
#include "PCFDataFile.h"
#include "PCFErrors.h"

#include <QFileInfo>
#include <QStringList>

#include <memory>

namespace {

const QStringList headerColumns{"function_name", "function_kind", "parameter_name", "dmx_type",
                                "default_text"};
const QString functionNameAttribute = QStringLiteral("functionName");
const QString operatorPrefix = QStringLiteral("operator ");

QString message(const char *text)
{
    return QString::fromLatin1(text);
}

QString key(const QString &list, const QString &name)
{
    return list + QLatin1Char('\n') + name;
}

bool floatComponents(uint type)
{
    return type == ATTRIBUTE_FLOAT || type == ATTRIBUTE_TIME ||
           (type >= ATTRIBUTE_VECTOR2 && type <= ATTRIBUTE_MATRIX);
}

// True when the text parses as a value of the type.
bool parses(uint type, const QString &text)
{
    std::unique_ptr<DMXAttribute> probe(new DMXAttribute);
    return probe->setValue(type, newDmxAttributeValue(type)) &&
           probe->setValueFromString(text).isNull();
}

} // namespace

QString PCFParameterTable::listOfKind(const QString &kind)
{
    static const QHash<QString, QString> lists{
        {"renderer", "renderers"}, {"operator", "operators"}, {"initializer", "initializers"},
        {"emitter", "emitters"},   {"force", "forces"},       {"constraint", "constraints"},
    };
    return lists.value(kind);
}

uint PCFParameterTable::typeOf(const QString &declared)
{
    static const QHash<QString, uint> types{
        {"int", ATTRIBUTE_INTEGER},    {"float", ATTRIBUTE_FLOAT},
        {"bool", ATTRIBUTE_BOOLEAN},   {"string", ATTRIBUTE_STRING},
        {"Color", ATTRIBUTE_COLOR},    {"Vector2D", ATTRIBUTE_VECTOR2},
        {"Vector", ATTRIBUTE_VECTOR3}, {"Vector4D", ATTRIBUTE_VECTOR4},
        {"QAngle", ATTRIBUTE_QANGLE},  {"Quaternion", ATTRIBUTE_QUATERNION},
        {"VMatrix", ATTRIBUTE_MATRIX}, {"DmeTime_t", ATTRIBUTE_TIME},
    };
    return types.value(declared, ATTRIBUTE_UNKNOWN);
}

QString PCFParameterTable::valueText(uint type, const QString &declared)
{
    if (type == ATTRIBUTE_INTEGER) {
        // The engine reads an int declared as "1.0" as 1; any other fraction
        // stays and is refused.
        const int dot = declared.indexOf(QLatin1Char('.'));
        const int zeros = declared.midRef(dot + 1).count(QLatin1Char('0'));
        return dot > 0 && zeros == declared.size() - dot - 1 ? declared.left(dot) : declared;
    }
    if (!floatComponents(type))
        return declared;
    QStringList parts = declared.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString &part : parts) {
        if (part.size() > 1 && (part.endsWith(QLatin1Char('f')) || part.endsWith(QLatin1Char('F'))))
            part.chop(1);
    }
    return parts.join(QLatin1Char(' '));
}

const PCFParameterTable::Function *PCFParameterTable::function(const QString &list,
                                                               const QString &name) const
{
    const int position = m_index.value(key(list, name), -1);
    return position < 0 ? nullptr : &m_functions[position];
}

int PCFParameterTable::rowCount() const
{
    int rows = 0;
    for (const Function &function : m_functions)
        rows += function.parameters.size();
    return rows;
}

bool PCFParameterTable::load(const QString &path, bool candidates, QString *error)
{
    QByteArray text;
    return PCFDataFile::readAll(path, &text, error) &&
           add(text, QFileInfo(path).fileName(), candidates, error);
}

bool PCFParameterTable::add(const QByteArray &text, const QString &source, bool candidates,
                            QString *error)
{
    return PCFDataFile::forEachRow(
        text, source, headerColumns,
        [&](const QStringList &columns, const QString &where) {
            return addRow(columns, where, candidates, error);
        },
        error);
}

bool PCFParameterTable::addRow(const QStringList &columns, const QString &where, bool candidate,
                               QString *error)
{
    if (columns.size() < headerColumns.size()) {
        *error = message(PCFError::TemplateDataColumns).arg(where);
        return false;
    }
    const QString &functionName = columns[0];
    const QString list = listOfKind(columns[1]);
    if (list.isNull()) {
        *error = message(PCFError::TemplateDataKind).arg(columns[1], where);
        return false;
    }
    Parameter parameter;
    parameter.name = columns[2];
    parameter.type = typeOf(columns[3]);
    if (parameter.type == ATTRIBUTE_UNKNOWN) {
        *error = message(PCFError::TemplateDataType).arg(columns[3], where);
        return false;
    }
    parameter.value = valueText(parameter.type, columns[4]);
    if (!parses(parameter.type, parameter.value)) {
        *error = message(PCFError::TemplateDataValue).arg(columns[4], where);
        return false;
    }

    const QString functionKey = key(list, functionName);
    int position = m_index.value(functionKey, -1);
    if (position < 0) {
        if (candidate) {
            *error = message(PCFError::TemplateDataFunction).arg(functionName, where);
            return false;
        }
        // Every function element starts with its name; the template is built
        // from the rows as they stand.
        if (parameter.name != functionNameAttribute || parameter.type != ATTRIBUTE_STRING) {
            *error = message(PCFError::TemplateDataFirst).arg(functionName, where);
            return false;
        }
        position = m_functions.size();
        m_functions.append(Function{list, functionName, {}});
        m_index.insert(functionKey, position);
    }
    QVector<Parameter> &parameters = m_functions[position].parameters;
    for (const Parameter &existing : qAsConst(parameters)) {
        if (existing.name == parameter.name) {
            *error = message(PCFError::TemplateDataTwice).arg(parameter.name, where);
            return false;
        }
    }
    int at = parameters.size();
    if (candidate) {
        while (at > 1 && parameters[at - 1].name.startsWith(operatorPrefix))
            --at;
    }
    parameters.insert(at, parameter);
    return true;
}
