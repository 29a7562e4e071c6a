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
    return readData(file.readAll(), document);
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
    // Encoded first: a document that cannot be written never touches the file.
    QByteArray bytes;
    if (!writeData(document, version, &bytes))
        return false;
    CSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        setError(QString::fromLatin1(PCFError::WriteOpen));
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        setError(QString::fromLatin1(PCFError::WriteIncomplete));
        return false;
    }
    return true;
}
