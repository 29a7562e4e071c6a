#pragma once

#include "CFileClass.h"
#include "CSaveFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QString>

#include <type_traits>

// Error texts of the document framework.
namespace FileClassError {
inline const char *const WriteInvalidPath = "Write Error: Invalid path";
inline const char *const WriteOpen = "Write Error: Unable to open device";
inline const char *const WriteFailed = "Write Error: Unable to write to device";
inline const char *const WriteCommit = "Write Error: Unable to replace file";
inline const char *const ReadMissing = "Read Error: File does not exist";
inline const char *const ReadOpen = "Read Error: Unable to open device";
} // namespace FileClassError

// How the loaders make a fresh document before reading into it. By default
// `new T()`; a document that cannot be default-constructed (a texture is made
// as a 1 x 1 image) provides `static T *createForLoading()`, or the trait is
// specialised for it.
template <typename T, typename = void>
struct FileClassFactory
{
    static T *create() { return new T(); }
};

template <typename T>
struct FileClassFactory<T, std::void_t<decltype(T::createForLoading())>>
{
    static T *create() { return T::createForLoading(); }
};

// The layer between CFileClass and a document class T (T derives from
// IFileClass<T>). A document supplies read/write on a data stream; this adds
// the error text, saving to a device, a byte array or a path, and loaders.
//
// A document that overrides write(QDataStream &) should add
// `using IFileClass<T>::write;` so the other forms stay visible.
template <typename T>
class IFileClass : public CFileClass
{
public:
    ~IFileClass() override = default;

    // The document's own writer; returns false (with a reason in m_error where
    // it has one) on failure.
    virtual bool write(QDataStream &stream) = 0;

    // Opens a closed device write-only; an open device is used as it is and
    // left open.
    virtual bool write(QIODevice *device)
    {
        if (!device) {
            m_error = QString::fromLatin1(FileClassError::WriteOpen);
            return false;
        }
        if (!device->isOpen() && !device->open(QIODevice::WriteOnly)) {
            m_error = QString::fromLatin1(FileClassError::WriteOpen);
            return false;
        }
        QDataStream stream(device);
        stream.setByteOrder(QDataStream::LittleEndian);
        stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
        if (!write(stream))
            return false;
        // A writer that ignored a failed device must not report success.
        if (stream.status() != QDataStream::Ok) {
            m_error = QString::fromLatin1(FileClassError::WriteFailed);
            return false;
        }
        return true;
    }

    // Replaces the array's contents with the document's bytes; a failed write
    // leaves the array as it was.
    virtual bool write(QByteArray *bytes)
    {
        if (!bytes) {
            m_error = QString::fromLatin1(FileClassError::WriteOpen);
            return false;
        }
        // Written aside and swapped in only on success: no stale tail of a
        // longer old document, and no half-written or emptied array on failure.
        QByteArray written;
        QBuffer buffer(&written);
        if (!buffer.open(QIODevice::WriteOnly)) {
            m_error = QString::fromLatin1(FileClassError::WriteOpen);
            return false;
        }
        if (!write(static_cast<QIODevice *>(&buffer)))
            return false;
        buffer.close();
        bytes->swap(written);
        return true;
    }

    // Writes to a temporary file beside the target, which replaces the target
    // only when the writer succeeded: a failed save leaves the old file intact.
    virtual bool write(const QString &path)
    {
        if (path.isEmpty()) {
            m_error = QString::fromLatin1(FileClassError::WriteInvalidPath);
            return false;
        }
        CSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            m_error = file.failure(QString::fromLatin1(FileClassError::WriteOpen));
            return false;
        }
        if (!write(static_cast<QIODevice *>(&file))) {
            m_error = file.failure(m_error);
            file.cancelWriting();
            return false;
        }
        if (!file.commit()) {
            m_error = file.failure(QString::fromLatin1(FileClassError::WriteCommit));
            return false;
        }
        return true;
    }

    // The document's own reader; returns false with a reason in m_error.
    virtual bool read(QDataStream &stream) = 0;

    const QString &error() const { return m_error; }
    void setError(const QString &error) { m_error = error; }

    // Loaders: a new document the caller owns, or null. `error` receives the
    // document's error text, also on success. A device passed in is opened
    // read-only when closed and left open.
    static T *fromDevice(QIODevice *device, QString &error)
    {
        if (!device || (!device->isOpen() && !device->open(QIODevice::ReadOnly))) {
            error = QString::fromLatin1(FileClassError::ReadOpen);
            return nullptr;
        }
        QDataStream stream(device);
        stream.setByteOrder(QDataStream::LittleEndian);
        stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
        T *document = FileClassFactory<T>::create();
        if (!document) {
            error = QString::fromLatin1(FileClassError::ReadOpen);
            return nullptr;
        }
        const bool ok = static_cast<IFileClass<T> *>(document)->read(stream);
        error = static_cast<IFileClass<T> *>(document)->m_error;
        if (!ok) {
            delete document;
            return nullptr;
        }
        return document;
    }

    static T *fromDevice(QIODevice *device)
    {
        QString ignored;
        return fromDevice(device, ignored);
    }

    static T *fromByteArray(const QByteArray &bytes, QString &error)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        if (!buffer.open(QIODevice::ReadOnly)) {
            error = QString::fromLatin1(FileClassError::ReadOpen);
            return nullptr;
        }
        return fromDevice(&buffer, error);
    }

    static T *fromByteArray(const QByteArray &bytes)
    {
        QString ignored;
        return fromByteArray(bytes, ignored);
    }

    // On success the document's path is the given path and its display name
    // the file's base name.
    static T *fromFile(const QString &path, QString &error)
    {
        const QFileInfo info(path);
        if (path.isEmpty() || !info.exists()) {
            error = QString::fromLatin1(FileClassError::ReadMissing);
            return nullptr;
        }
        QFile file(path);
        if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
            error = QString::fromLatin1(FileClassError::ReadOpen);
            return nullptr;
        }
        T *document = fromDevice(&file, error);
        if (document) {
            document->setPath(path, true);
            document->m_displayName = document->fileName(false);
        }
        return document;
    }

    static T *fromFile(const QString &path)
    {
        QString ignored;
        return fromFile(path, ignored);
    }

    // Reason of the last failed read or write; a later success keeps it.
    QString m_error;
};
