#include "CSaveFile.h"

#include "DurableFile.h"
#include "SiblingName.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {

qint64 testSpace = -1;

// QSaveFile names its temporary file (or the one it links into the folder)
// after the target: the target's name and ".XXXXXX".
constexpr int TemporarySuffixLength = 7;

QString systemReason(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// The text a device gives when nothing set a reason.
const QString &unsetReason()
{
    static const QString text = QSaveFile().errorString();
    return text;
}

} // namespace

CSaveFile::CSaveFile(const QString &path, QObject *parent)
    : QSaveFile(path, parent)
    , m_target(path)
{}

QString CSaveFile::fileName() const
{
    return m_target;
}

QString CSaveFile::savedPath(const QString &path)
{
    // As QSaveFile follows links; a chain that never ends names no file, and
    // the link itself is then the one written.
    constexpr int MaxLinks = 128;
    QFileInfo info(path);
    for (int i = 0; i < MaxLinks && info.isSymLink(); ++i)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

QString CSaveFile::folderMessage(const QString &path)
{
    const QFileInfo info(path);
    // A link is saved through: the temporary file goes beside what it names.
    const QFileInfo target(savedPath(path));
    return QStringLiteral("Unable to save \"%1\": the folder \"%2\" cannot be written to. Save to "
                          "another folder.")
        .arg(info.fileName(), QDir::toNativeSeparators(target.absolutePath()));
}

bool CSaveFile::open(OpenMode mode)
{
    m_folderRefused = false;
    m_writeFailed = false;
    m_stage.clear();
    QSaveFile::setFileName(m_target);
    // A name that fits but leaves no room for QSaveFile's: the file is made
    // under a short new name, which then takes the target's. QSaveFile
    // itself refuses a folder or a file the user may not write.
    const QFileInfo target(savedPath(m_target));
    const int length = QFile::encodeName(target.fileName()).size();
    const int limit = SiblingName::maxLength(target.filePath());
    if (length <= limit && length + TemporarySuffixLength > limit && !target.isDir() &&
        (!target.exists() || target.isWritable())) {
        m_stage = SiblingName::temporary(target.filePath(), TemporarySuffixLength);
        QSaveFile::setFileName(m_stage);
    }
    if (QSaveFile::open(mode)) {
        if (!m_stage.isEmpty() && target.exists())
            setPermissions(target.permissions());
        return true;
    }
    // QSaveFile refuses a directory and a file the user may not write before
    // it tries the temporary file; any other failure is the temporary file's,
    // and the folder's when the reason says so.
    const QFileInfo info(fileName());
    if (!fileName().isEmpty() && !info.isDir() && (!info.exists() || info.isWritable()) &&
        refusedByFolder()) {
        m_folderRefused = true;
        setErrorString(folderMessage(fileName()));
    }
    return false;
}

void CSaveFile::failWrite(const QString &reason)
{
    m_writeFailed = true;
    // A short write leaves no reason: the temporary file, dropped anyway, is
    // asked for it.
    const QString text = reason.isEmpty() || reason == unsetReason()
                             ? DurableFile::writeFailureReason(*this)
                             : reason;
    setErrorString(text);
}

qint64 CSaveFile::writeData(const char *data, qint64 length)
{
    if (m_writeFailed)
        return -1;
    qint64 allowed = length;
    if (testSpace >= 0) {
        allowed = qMin(length, testSpace);
        testSpace -= allowed;
    }
    const qint64 written = allowed > 0 ? QSaveFile::writeData(data, allowed) : 0;
    if (written == length)
        return written;
    failWrite(allowed < length ? systemReason(ENOSPC) : errorString());
    return -1;
}

bool CSaveFile::commit()
{
    if (!isOpen())
        return QSaveFile::commit();
    if (!m_writeFailed) {
        // The new file is the user's as the old one was; set before the sync,
        // so that it reaches the disk with the bytes.
        DurableFile::takeOwnership(handle(), DurableFile::stateAt(savedPath(m_target), true));
        QString reason;
        if (!DurableFile::sync(*this, &reason))
            failWrite(reason);
    }
    if (m_writeFailed) {
        const QString reason = errorString();
        cancelWriting();
        QSaveFile::commit();
        setErrorString(reason);
        return false;
    }
    if (QSaveFile::commit()) {
        if (m_stage.isEmpty())
            return true;
        QString reason;
        if (DurableFile::replace(m_stage, savedPath(m_target), &reason))
            return true;
        QFile::remove(m_stage);
        setErrorString(reason);
    }
    // The bytes are whole and on the disk: only putting the temporary file
    // under its name in the folder failed.
    m_folderRefused = refusedByFolder();
    if (m_folderRefused)
        setErrorString(folderMessage(fileName()));
    return false;
}

bool CSaveFile::refusedByFolder() const
{
    // Qt words the system's reasons as qt_error_string() does. Where Qt kept
    // none, only the folder is left to blame.
    const QString reason = errorString();
    if (reason.isEmpty() || reason == unsetReason())
        return true;
    for (int code : {EACCES, EPERM, EROFS, ENOENT, ENOTDIR}) {
        if (reason == qt_error_string(code))
            return true;
    }
    return false;
}

void CSaveFile::cancelWriting()
{
    const QString reason = errorString();
    QSaveFile::cancelWriting();
    setErrorString(reason == unsetReason() ? QString() : reason);
}

QString CSaveFile::folderOr(const QString &text) const
{
    return m_folderRefused ? errorString() : text;
}

QString CSaveFile::failure(const QString &text) const
{
    if (m_folderRefused)
        return errorString();
    const QString reason = errorString();
    if (reason.isEmpty() || reason == unsetReason() || text.endsWith(reason))
        return text;
    return text + QStringLiteral(" (%1)").arg(reason);
}

bool CSaveFile::writeAll(const QString &path, const QByteArray &bytes, QString *error)
{
    CSaveFile file(path);
    const bool saved = !path.isEmpty() && file.open(QIODevice::WriteOnly) &&
                       file.write(bytes) == bytes.size() && file.commit();
    if (!saved) {
        if (error)
            *error = file.errorString();
        if (file.isOpen())
            file.cancelWriting();
    }
    return saved;
}

void CSaveFile::setSpaceForTesting(qint64 bytes)
{
    testSpace = bytes;
}
