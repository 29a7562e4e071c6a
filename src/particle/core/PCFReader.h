#pragma once

#include "CBinaryReader.h"

#include <QByteArray>
#include <QString>
#include <QVector>

class CFilePCF;

// One read of a binary particle file into an empty document. Every count and
// index of the file is checked against the bytes and tables really there.
//
// Ownership of element references is decided while reading: the first owning
// reference in read order owns an element; a later one, a reference to the
// root, a repeated item or a reference that would make an element own its own
// owner is kept as a plain reference, so that every element is freed once.
class PCFReader
{
public:
    PCFReader(const QByteArray &bytes, CFilePCF *document);

    bool read();
    const QString &error() const { return m_error; }

private:
    bool readContents();
    bool readHeader();
    bool readDictionary();
    bool readElementHeaders();
    bool readElementBodies();
    bool readAttribute(int elementIndex, int attributeIndex);
    // One value of the type into a new object (null for type 0 and unknown
    // codes); element positions read are appended to m_targets.
    bool readValue(uint type, void **value);
    bool readArray(uint type, void **value);
    QString readString();
    bool dictionaryEntry(QString *target, const char *outOfBounds);
    bool fail(const char *message);
    bool endOfFile() { return fail("Read Error: Unexpected end of file"); }

    // Ownership bookkeeping over element positions.
    int ownershipRoot(int element);
    bool claim(int owner, const QVector<int> &targets);

    CFilePCF *m_document;
    QByteArray m_bytes;
    CBinaryReader m_in;
    QString m_error;
    bool m_stringTable = false;
    QVector<int> m_targets;
    QVector<bool> m_owned;
    QVector<int> m_forest;
};
