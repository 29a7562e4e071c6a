#include "vmtbytes.h"

#include "CSaveFile.h"

#include <QFile>

QString decodeMaterialText(const QByteArray &bytes, bool *crlf)
{
    const int lineFeeds = bytes.count('\n');
    const bool windowsLines = lineFeeds > 0 && bytes.count("\r\n") == lineFeeds;
    if (crlf)
        *crlf = windowsLines;
    // With the size given: the array form of fromLatin1 ends at the first
    // NUL, and saving would cut the file there.
    if (!windowsLines)
        return QString::fromLatin1(bytes.constData(), bytes.size());
    QByteArray lines = bytes;
    lines.replace("\r\n", "\n");
    return QString::fromLatin1(lines.constData(), lines.size());
}

QByteArray encodeMaterialText(const QString &text, bool crlf)
{
    QByteArray bytes = text.toLatin1();
    if (crlf)
        bytes.replace("\n", "\r\n");
    return bytes;
}

bool readMaterialFile(const QString &path, QString &text, bool &crlf, QString &error)
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
    text = decodeMaterialText(bytes, &crlf);
    return true;
}

bool writeMaterialFile(const QString &path, const QString &text, bool crlf, QString &error)
{
    return CSaveFile::writeAll(path, encodeMaterialText(text, crlf), &error);
}
