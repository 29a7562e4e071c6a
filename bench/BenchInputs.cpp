#include "BenchInputs.h"

#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QVector>

namespace {

constexpr int HeaderSize = 1036;
constexpr qint64 Chunk = 1 << 20;

class LittleEndian
{
public:
    explicit LittleEndian(QByteArray &out)
        : m_stream(&out, QIODevice::WriteOnly | QIODevice::Append)
    {
        m_stream.setByteOrder(QDataStream::LittleEndian);
    }
    LittleEndian &u16(quint16 v)
    {
        m_stream << v;
        return *this;
    }
    LittleEndian &u32(quint32 v)
    {
        m_stream << v;
        return *this;
    }
    LittleEndian &bytes(const QByteArray &b)
    {
        m_stream.writeRawData(b.constData(), b.size());
        return *this;
    }

private:
    QDataStream m_stream;
};

QByteArray pakfileName(int i)
{
    return "materials/set" + QByteArray::number(i / 1000) + "/file" + QByteArray::number(i) +
           ".vmt";
}

// A zip of stored files; CRCs are left 0, which the map reader does not
// check.
QByteArray pakfile(int files, int fileSize)
{
    const QByteArray data(fileSize, 'p');
    QByteArray zip;
    QByteArray directory;
    LittleEndian z(zip);
    LittleEndian d(directory);
    for (int i = 0; i < files; ++i) {
        const QByteArray name = pakfileName(i);
        const quint32 local = quint32(zip.size());
        z.u32(0x04034b50).u16(10).u16(0).u16(0).u16(0).u16(0).u32(0);
        z.u32(quint32(fileSize)).u32(quint32(fileSize)).u16(quint16(name.size())).u16(0);
        z.bytes(name).bytes(data);
        d.u32(0x02014b50).u16(20).u16(10).u16(0).u16(0).u16(0).u16(0).u32(0);
        d.u32(quint32(fileSize)).u32(quint32(fileSize)).u16(quint16(name.size()));
        d.u16(0).u16(0).u16(0).u16(0).u32(0).u32(local).bytes(name);
    }
    const quint32 directoryOffset = quint32(zip.size());
    z.bytes(directory);
    z.u32(0x06054b50).u16(0).u16(0).u16(quint16(files)).u16(quint16(files));
    z.u32(quint32(directory.size())).u32(directoryOffset).u16(0);
    return zip;
}

} // namespace

namespace BenchInputs {

bool writeMap(const QString &path, qint64 lumpBytes, int files, int fileSize)
{
    const QByteArray gameLumps(4, '\0');
    const QByteArray zip = pakfile(files, fileSize);
    // Lump 8 (lighting) first, then lump 35, then the pakfile.
    qint64 offsets[64] = {};
    qint64 lengths[64] = {};
    offsets[8] = HeaderSize;
    lengths[8] = lumpBytes;
    offsets[35] = offsets[8] + lumpBytes;
    lengths[35] = gameLumps.size();
    offsets[40] = offsets[35] + lengths[35];
    lengths[40] = zip.size();
    for (int i = 0; i < 64; ++i) {
        if (lengths[i] == 0)
            offsets[i] = offsets[40] + lengths[40];
    }
    QByteArray header;
    LittleEndian h(header);
    h.u32(0x50534256).u32(20);
    for (int i = 0; i < 64; ++i)
        h.u32(quint32(offsets[i])).u32(quint32(lengths[i])).u32(0).u32(0);
    h.u32(1);

    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(header) != HeaderSize)
        return false;
    QByteArray chunk(int(Chunk), '\0');
    for (int i = 0; i < chunk.size(); ++i)
        chunk[i] = char(i * 7 + (i >> 9));
    for (qint64 left = lumpBytes; left > 0; left -= Chunk) {
        const qint64 n = qMin(left, Chunk);
        if (out.write(chunk.constData(), n) != n)
            return false;
    }
    return out.write(gameLumps) == gameLumps.size() && out.write(zip) == zip.size() && out.flush();
}

bool writeVpkDirectory(const QString &path, int entries)
{
    QByteArray tree;
    LittleEndian t(tree);
    t.bytes(QByteArray("vmt", 4));
    for (int folder = 0; folder * 1000 < entries; ++folder) {
        t.bytes("materials/set" + QByteArray::number(folder) + '\0');
        for (int i = folder * 1000; i < qMin(entries, (folder + 1) * 1000); ++i) {
            t.bytes("material_" + QByteArray::number(i) + '\0');
            // CRC, preload count, archive (in the directory), offset, length,
            // terminator.
            t.u32(0).u16(0).u16(0x7FFF).u32(0).u32(0).u16(0xFFFF);
        }
        t.bytes(QByteArray(1, '\0'));
    }
    t.bytes(QByteArray(2, '\0'));
    QByteArray file;
    LittleEndian f(file);
    f.u32(0x55AA1234).u32(1).u32(quint32(tree.size())).bytes(tree);
    QFile out(path);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(file) == file.size();
}

} // namespace BenchInputs
