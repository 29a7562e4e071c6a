#include "vmtbytes.h"

#include "CSaveFile.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QVector>

namespace {

const char LF = 'n';
const char CRLF = 'w';
const char CR = 'r';

QByteArray endBytes(char code)
{
    if (code == CRLF)
        return QByteArrayLiteral("\r\n");
    return code == CR ? QByteArrayLiteral("\r") : QByteArrayLiteral("\n");
}

// For every line of `edited`, the line of `original` it was kept from, or -1.
// Lines shared at the start and at the end are matched first; in between, each
// edited line is matched to the next equal original line in order, which is
// exact for the routines' edits (lines inserted in one place, removed, or one
// replaced). Linear in the lines.
QVector<int> keptLines(const QStringList &edited, const QStringList &original)
{
    const int n = edited.size();
    const int o = original.size();
    QVector<int> from(n, -1);
    int head = 0;
    while (head < n && head < o && edited.at(head) == original.at(head)) {
        from[head] = head;
        ++head;
    }
    int tail = 0;
    while (tail < n - head && tail < o - head &&
           edited.at(n - 1 - tail) == original.at(o - 1 - tail)) {
        from[n - 1 - tail] = o - 1 - tail;
        ++tail;
    }
    QHash<QString, QVector<int>> places;
    for (int i = o - tail - 1; i >= head; --i)
        places[original.at(i)].append(i);
    int next = head;
    for (int j = head; j < n - tail; ++j) {
        auto it = places.find(edited.at(j));
        if (it == places.end())
            continue;
        // Each list runs from its last place to its first: the back is next.
        QVector<int> &list = it.value();
        while (!list.isEmpty() && list.last() < next)
            list.removeLast();
        if (list.isEmpty())
            continue;
        from[j] = list.last();
        next = list.last() + 1;
        list.removeLast();
    }
    return from;
}

} // namespace

QByteArray MaterialLineEnds::common() const
{
    QHash<char, int> counts;
    for (const char code : codes)
        ++counts[code];
    // On a tie the end met first wins.
    char best = LF;
    int most = 0;
    for (const char code : codes) {
        if (counts.value(code) > most) {
            most = counts.value(code);
            best = code;
        }
    }
    return endBytes(best);
}

QString decodeMaterialText(const QByteArray &bytes, MaterialLineEnds *ends)
{
    QByteArray lines;
    lines.reserve(bytes.size());
    QByteArray codes;
    const int size = bytes.size();
    for (int i = 0; i < size; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n') {
            lines.append(c);
            continue;
        }
        lines.append('\n');
        if (c == '\n') {
            codes.append(LF);
        } else if (i + 1 < size && bytes.at(i + 1) == '\n') {
            codes.append(CRLF);
            ++i;
        } else {
            codes.append(CR);
        }
    }
    if (ends)
        ends->codes = codes;
    // With the size given: the array form of fromLatin1 ends at the first
    // NUL, and saving would cut the file there.
    return QString::fromLatin1(lines.constData(), lines.size());
}

QByteArray encodeMaterialText(const QString &text, const QByteArray &lineEnd)
{
    QByteArray bytes = text.toLatin1();
    if (lineEnd != "\n")
        bytes.replace('\n', lineEnd);
    return bytes;
}

QByteArray encodeMaterialText(const QString &edited, const QString &original,
                              const MaterialLineEnds &ends)
{
    const QStringList lines = edited.split(QLatin1Char('\n'));
    const QVector<int> from = keptLines(lines, original.split(QLatin1Char('\n')));
    const QByteArray common = ends.common();
    QByteArray bytes;
    bytes.reserve(edited.size() + lines.size());
    for (int j = 0; j < lines.size(); ++j) {
        bytes += lines.at(j).toLatin1();
        if (j + 1 == lines.size())
            break;
        // The original's last line had no end of its own.
        const int i = from.at(j);
        bytes += i >= 0 && i < ends.codes.size() ? endBytes(ends.codes.at(i)) : common;
    }
    return bytes;
}

bool readMaterialFile(const QString &path, QString &text, MaterialLineEnds &ends, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    // Read in chunks to one past the limit rather than trusting size(),
    // which a device or pipe reports as 0.
    QByteArray bytes;
    if (!file.isSequential())
        bytes.reserve(int(qMin(file.size(), VmtError::MaxScriptBytes)));
    while (bytes.size() <= VmtError::MaxScriptBytes) {
        const QByteArray chunk = file.read(64 * 1024);
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (bytes.size() > VmtError::MaxScriptBytes) {
        error = QString::fromLatin1(VmtError::TooLarge).arg(VmtError::MaxScriptBytes);
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    text = decodeMaterialText(bytes, &ends);
    return true;
}

bool writeMaterialFile(const QString &path, const QByteArray &bytes, QString &error)
{
    return CSaveFile::writeAll(path, bytes, &error);
}
