#include "PCFDelegate.h"

#include "CFilePCF.h"
#include "CSaveFile.h"
#include "PCFErrors.h"
#include "PCFReader.h"
#include "PCFWriter.h"

#include <QFile>

bool PCFDelegate::read(const QString &path, CFilePCF *document)
{
    if (!document) {
        setError(QString::fromLatin1(PCFError::ReadOpen));
        return false;
    }
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        setError(QString::fromLatin1(PCFError::ReadOpen));
        return false;
    }
    return readDevice(&file, document);
}

bool PCFDelegate::readDevice(QIODevice *device, CFilePCF *document)
{
    if (!document || !device || !device->isReadable()) {
        setError(QString::fromLatin1(PCFError::ReadOpen));
        return false;
    }
    document->clear();
    PCFReader reader(device, document);
    if (!reader.read()) {
        setError(reader.error());
        return false;
    }
    return true;
}

bool PCFDelegate::readData(const QByteArray &bytes, CFilePCF *document)
{
    if (!document) {
        setError(QString::fromLatin1(PCFError::ReadOpen));
        return false;
    }
    document->clear();
    PCFReader reader(bytes, document);
    if (!reader.read()) {
        setError(reader.error());
        return false;
    }
    return true;
}

bool PCFDelegate::writeData(CFilePCF *document, int version, QByteArray *bytes)
{
    PCFWriter writer(document, version);
    QByteArray out;
    if (!writer.write(&out)) {
        setError(writer.error());
        return false;
    }
    if (bytes)
        *bytes = out;
    return true;
}

bool PCFDelegate::write(const QString &path, CFilePCF *document, int version)
{
    // Checked first: a document that cannot be written never touches the
    // file. The bytes then go out a chunk at a time.
    PCFWriter writer(document, version);
    if (!writer.prepare()) {
        setError(writer.error());
        return false;
    }
    CSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        setError(file.failure(QString::fromLatin1(PCFError::WriteOpen)));
        return false;
    }
    if (!writer.encode(&file) || !file.commit()) {
        const QString message = file.failure(QString::fromLatin1(PCFError::WriteIncomplete));
        file.cancelWriting();
        setError(message);
        return false;
    }
    return true;
}
