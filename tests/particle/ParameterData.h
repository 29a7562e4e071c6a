#pragma once

#include "DMXAttribute.h"
#include "PcfBuilder.h"

#include <QFile>
#include <QStringList>
#include <QVariantList>
#include <QVector>

// The particle parameter data files read the plain way, apart from the
// program's own reader, so that the templates are checked against the files
// themselves.
namespace ParameterData {

struct Row
{
    QString function;
    QString kind;
    QString name;
    QString type;
    QString value;
};

// The columns of every line after the header.
inline QVector<QStringList> lines(const QString &fileName)
{
    QVector<QStringList> out;
    QFile file(QStringLiteral(PARTICLE_PARAMETER_DIR "/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QList<QByteArray> all = file.readAll().split('\n');
    for (int i = 1; i < all.size(); ++i)
        out.append(QString::fromUtf8(all[i]).split('\t'));
    return out;
}

inline QVector<Row> read(const QString &fileName)
{
    QVector<Row> rows;
    for (const QStringList &c : lines(fileName)) {
        if (c.size() >= 5)
            rows.append({c[0], c[1], c[2], c[3], c[4]});
    }
    return rows;
}

// What real files of a format carry beyond its tables: kind first, no
// default (the value stays empty); a whole function has no parameter.
inline QVector<Row> readKept(int format)
{
    QVector<Row> rows;
    for (const QStringList &c : lines(QStringLiteral("format%1-kept.tsv").arg(format))) {
        if (c.size() >= 4)
            rows.append({c[1], c[0], c[2], c[3], QString()});
    }
    return rows;
}

// A generation's functions: its table, then the functions added to it.
inline QVector<Row> readFunctions(int format)
{
    return read(QStringLiteral("format%1.tsv").arg(format)) +
           read(QStringLiteral("format%1-added.tsv").arg(format));
}

// Every kind names its list in the plural ("operator", "operators").
inline QString listOf(const Row &row)
{
    return row.kind + QLatin1Char('s');
}

inline uint typeCode(const QString &type)
{
    static const QHash<QString, uint> codes{{"int", 2},       {"float", 3},  {"bool", 4},
                                            {"string", 5},    {"Color", 8},  {"Vector", 10},
                                            {"Vector4D", 11}, {"QAngle", 12}};
    return codes.value(type);
}

// The row's value component by component; with `other` set a value that
// differs from the default in every component (the function's name stays).
inline QVariantList components(const Row &row, bool other)
{
    const uint type = typeCode(row.type);
    if (type == ATTRIBUTE_STRING)
        return {other && row.name != "functionName" ? row.value + "_x" : row.value};
    QVariantList out;
    for (QString part : row.value.split(' ', Qt::SkipEmptyParts)) {
        if (part.endsWith('f'))
            part.chop(1);
        if (type == ATTRIBUTE_INTEGER) // an int declared "1.0" is 1
            out << int(part.toDouble()) + (other ? 7 : 0);
        else if (type == ATTRIBUTE_BOOLEAN)
            out << ((part.toInt() != 0) != other);
        else if (type == ATTRIBUTE_COLOR)
            out << (part.toInt() ^ (other ? 0x55 : 0));
        else
            out << double(part.toFloat() + (other ? 0.5f : 0.0f));
    }
    return out;
}

// The same for a value read or built by the program.
inline QVariantList components(const DMXAttribute *attribute)
{
    const void *v = attribute->value();
    switch (attribute->type()) {
    case ATTRIBUTE_INTEGER:
        return {*static_cast<const qint32 *>(v)};
    case ATTRIBUTE_BOOLEAN:
        return {*static_cast<const bool *>(v)};
    case ATTRIBUTE_STRING:
        return {*static_cast<const QString *>(v)};
    case ATTRIBUTE_COLOR: {
        QVariantList out;
        for (quint8 c : *static_cast<const DMXColor *>(v))
            out << int(c);
        return out;
    }
    default: {
        QVariantList out;
        for (int i = 0; i < DMX::floatCount(attribute->type()); ++i)
            out << double(static_cast<const float *>(v)[i]);
        return out;
    }
    }
}

// Writes the row's attribute (name index, type, value) into a file being
// built.
inline void write(PcfBuilder &b, const Row &row, bool other)
{
    const uint type = typeCode(row.type);
    b.attribute(row.name.toLatin1(), quint8(type));
    for (const QVariant &c : components(row, other)) {
        if (type == ATTRIBUTE_STRING)
            b.text(c.toString().toLatin1());
        else if (type == ATTRIBUTE_INTEGER)
            b.i32(c.toInt());
        else if (type == ATTRIBUTE_BOOLEAN || type == ATTRIBUTE_COLOR)
            b.u8(quint8(c.toInt()));
        else
            b.f32(float(c.toDouble()));
    }
}

} // namespace ParameterData
