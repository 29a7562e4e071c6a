#include "CScanRecord.h"

#include "CPath.h"
#include "CSaveFile.h"

#include <QFile>
#include <QFileInfo>

std::unique_ptr<CScanRecord> splitLines(const QByteArray &bytes)
{
    auto record = std::make_unique<CScanRecord>();
    const int nul = bytes.indexOf('\0');
    const int end = nul < 0 ? bytes.size() : nul;
    int start = 0;
    for (;;) {
        const int lf = bytes.indexOf('\n', start);
        if (lf < 0 || lf >= end) {
            record->lines.append(bytes.mid(start, end - start));
            return record;
        }
        int lineEnd = lf;
        if (lineEnd > start && bytes.at(lineEnd - 1) == '\r')
            --lineEnd;
        record->lines.append(bytes.mid(start, lineEnd - start));
        start = lf + 1;
    }
}

std::unique_ptr<CScanRecord> readFileLines(const QString &path)
{
    // A folder or a pipe is not a script; a pipe would also block the read.
    if (!QFileInfo(path).isFile())
        return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const qint64 size = file.size() - file.pos();
    if (size < 0 || size > MaxScriptBytes)
        return nullptr;
    const QByteArray bytes = file.read(size);
    if (bytes.size() < size)
        return nullptr;
    std::unique_ptr<CScanRecord> record = splitLines(bytes);
    record->path = path;
    return record;
}

bool writeLines(const CScanRecord &record, const QString &path)
{
    const QString target = path.isEmpty() ? record.path : path;
    if (target.isEmpty())
        return false;
    QByteArray bytes;
    for (const QByteArray &line : record.lines) {
        bytes.append(line);
        bytes.append('\n');
    }
    return CSaveFile::writeAll(target, bytes);
}

void collapseSeparators(QString &text)
{
    text = CPath::normalizeSeparators(text);
}
