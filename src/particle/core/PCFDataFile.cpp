#include "PCFDataFile.h"

#include "PCFErrors.h"

#include <QFile>

namespace PCFDataFile {

bool forEachRow(const QByteArray &text, const QString &source, const QStringList &header,
                const RowHandler &row, QString *error)
{
    const QList<QByteArray> lines = text.split('\n');
    bool seenHeader = false;
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList columns = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (!seenHeader) {
            if (columns.mid(0, header.size()) != header) {
                *error = QString::fromLatin1(PCFError::TemplateDataHeader).arg(source);
                return false;
            }
            seenHeader = true;
            continue;
        }
        if (!row(columns, QString::fromLatin1(PCFError::TemplateDataWhere).arg(source).arg(i + 1)))
            return false;
    }
    if (!seenHeader) {
        *error = QString::fromLatin1(PCFError::TemplateDataHeader).arg(source);
        return false;
    }
    return true;
}

bool readAll(const QString &path, QByteArray *text, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QString::fromLatin1(PCFError::TemplateDataOpen).arg(path);
        return false;
    }
    *text = file.readAll();
    return true;
}

} // namespace PCFDataFile
