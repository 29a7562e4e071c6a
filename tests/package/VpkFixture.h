#pragma once

#include "ByteBuilder.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// Hand-built VPK directory trees and directory files.
//
// Grammar: extension groups, each an extension string and path groups; each
// path group a path string and file records; every level ends with an empty
// string.
class VpkTree
{
public:
    static constexpr quint16 InDirectory = 0x7FFF;

    VpkTree &ext(const QByteArray &extension)
    {
        closePath();
        closeExt();
        m_b.cstring(extension);
        m_inExt = true;
        return *this;
    }
    VpkTree &path(const QByteArray &path)
    {
        closePath();
        m_b.cstring(path);
        m_inPath = true;
        return *this;
    }
    VpkTree &file(const QByteArray &name, quint16 archive, quint32 offset, quint32 length,
                  const QByteArray &preload = QByteArray(), quint32 crc = 0)
    {
        m_b.cstring(name)
            .u32(crc)
            .u16(quint16(preload.size()))
            .u16(archive)
            .u32(offset)
            .u32(length)
            .u16(0xFFFF)
            .bytes(preload);
        return *this;
    }
    // Raw bytes inside the tree (for records cut short on purpose).
    VpkTree &raw(const QByteArray &bytes)
    {
        m_b.bytes(bytes);
        return *this;
    }
    QByteArray finish()
    {
        closePath();
        closeExt();
        m_b.u8(0);
        return m_b.data();
    }

private:
    void closePath()
    {
        if (m_inPath)
            m_b.u8(0);
        m_inPath = false;
    }
    void closeExt()
    {
        if (m_inExt)
            m_b.u8(0);
        m_inExt = false;
    }

    ByteBuilder m_b;
    bool m_inExt = false;
    bool m_inPath = false;
};

namespace VpkFixture {

constexpr quint32 Signature = 0x55AA1234;

// A signed directory file: header, tree, then the data stored in the
// directory file itself. Version 2 writes four more header values; the second
// is the one shown as the footer length.
inline QByteArray directory(quint32 version, const QByteArray &tree,
                            const QByteArray &embedded = QByteArray(), quint32 footer = 0)
{
    ByteBuilder b;
    b.u32(Signature).u32(version).u32(quint32(tree.size()));
    if (version == 2)
        b.u32(quint32(embedded.size())).u32(footer).u32(48).u32(0);
    b.bytes(tree).bytes(embedded);
    return b.data();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace VpkFixture
