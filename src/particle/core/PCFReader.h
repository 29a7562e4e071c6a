#pragma once

#include "PCFByteSource.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

class CFilePCF;
class DMXAttribute;
class DMXElement;
class QIODevice;

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
    // Reads from the device's position to its end, a chunk at a time.
    PCFReader(QIODevice *device, CFilePCF *document);

    bool read();
    const QString &error() const { return m_error; }

private:
    bool readContents();
    bool readHeader();
    bool readDictionary();
    bool readElementHeaders();
    bool readElementBodies();
    bool readAttribute(int elementIndex, int attributeIndex, DMXAttribute *attribute);
    // The value of an attribute into it; `stored` is false for a code the
    // model has no value for.
    bool readValue(DMXAttribute *attribute, uint type, bool *stored);
    // One value of an item type (1 to 14) into a new object; element
    // positions read are appended to m_targets.
    bool readItem(uint type, void **value);
    bool readArray(uint type, void **value);
    bool readFixed(uint type, void *scratch);
    // An inline text, trimmed; repeated texts share one string.
    QString readText();
    bool dictionaryEntry(QString *target, const char *outOfBounds);
    bool fail(const char *message);
    bool endOfFile() { return fail("Read Error: Unexpected end of file"); }

    // Ownership bookkeeping over element positions.
    int ownershipRoot(int element);
    bool claim(int owner, const QVector<int> &targets);

    CFilePCF *m_document;
    PCFByteSource m_in;
    QString m_error;
    bool m_stringTable = false;
    // Per dictionary entry, its number in the name table once an attribute
    // used it.
    QVector<quint32> m_nameIds;
    QHash<QByteArray, QString> m_texts;
    QVector<int> m_targets;
    QVector<bool> m_owned;
    QVector<int> m_forest;
    // Marks of the targets of the reference being claimed.
    QVector<quint32> m_claimMarks;
    quint32 m_claim = 0;
};
