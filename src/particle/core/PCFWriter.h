#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

#include <memory>

class CFilePCF;
class DMXAttribute;
class DMXElement;
class QIODevice;

// One encoding of a document into the bytes of a particle file. Rebuilds the
// document's dictionary and index fields on the way, as the file needs them.
//
// prepare() rebuilds the dictionary and checks everything the encoding could
// refuse, in writing order, before a byte is written; the encoding itself
// then goes out a chunk at a time, so a large document is never held twice.
class PCFWriter
{
public:
    PCFWriter(CFilePCF *document, int version);
    ~PCFWriter();
    PCFWriter(const PCFWriter &) = delete;
    PCFWriter &operator=(const PCFWriter &) = delete;

    // prepare() and encode() into a byte array, set only on success.
    bool write(QByteArray *out);

    // False with error() set when the document cannot be written.
    bool prepare();
    // After prepare(): the file into the device. False when the device does
    // not take every byte.
    bool encode(QIODevice *device);

    const QString &error() const { return m_error; }

private:
    class Sink;

    void rebuildDictionary();
    int intern(const QString &text);
    int internName(const DMXAttribute *attribute);
    bool check(int elementIndex, int attributeIndex, const DMXAttribute *attribute);
    bool positionOf(const DMXElement *element, int *position) const;
    // positionOf, with the null reference for no element.
    bool elementPosition(const DMXElement *element, int *position) const;
    void buildPositions();
    bool encodeInto(Sink &out);
    void encodeAttribute(Sink &out, const DMXAttribute *attribute, int *lookup);
    void encodeScalar(Sink &out, uint type, const void *value);
    bool fail(const QString &message);

    CFilePCF *m_document;
    int m_version;
    bool m_stringTable;
    bool m_prepared = false;
    QString m_error;
    QHash<QString, int> m_dictionary;
    // Dictionary position per attribute name number; -1 until used.
    QVector<int> m_nameSlots;
    // The last text interned, by identity: consecutive elements mostly share
    // their type's string.
    const QChar *m_lastText = nullptr;
    int m_lastLength = -1;
    int m_lastIndex = -1;
    // Open addressing over element positions: first occurrence of each
    // element in the document's list.
    QVector<int> m_positions;
    int m_shift = 64;
    // Element positions and dictionary indices the values refer to, in
    // writing order, found once by check() and used by encode().
    QVector<qint32> m_lookups;
};
