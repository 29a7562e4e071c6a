#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

class CFilePCF;
class DMXAttribute;
class DMXElement;

// One encoding of a document into the bytes of a particle file. Rebuilds the
// document's dictionary and index fields on the way, as the file needs them.
class PCFWriter
{
public:
    PCFWriter(CFilePCF *document, int version);

    bool write(QByteArray *out);
    const QString &error() const { return m_error; }

private:
    void rebuildDictionary();
    int intern(const QString &text);
    bool writeAttribute(int elementIndex, int attributeIndex, const DMXAttribute *attribute);
    bool writeScalar(uint type, const void *value);
    bool fail(const QString &message);

    void u8(quint8 value) { m_out.append(char(value)); }
    void u16(quint16 value);
    void i32(qint32 value);
    void f32(float value);
    void string(const QString &text);

    CFilePCF *m_document;
    int m_version;
    bool m_stringTable;
    QByteArray m_out;
    QString m_error;
    QHash<QString, int> m_dictionary;
    QHash<const DMXElement *, int> m_positions;
};
