// Many directory entries pointing at one local header. Each read of the
// header's 64 KiB name and extra field, and each copy of the shared data on
// flush, multiplied a small archive by the number of entries.
#include "FuzzRegression.h"
#include "MapBuilder.h"

namespace {

QByteArray sharedHeader(int entries, int nameLength, int extraLength, int dataLength)
{
    ByteBuilder b;
    const QByteArray name(nameLength, 'n');
    b.u32(0x04034b50).u16(10).u16(0).u16(0).u16(0).u16(0).u32(0);
    b.u32(quint32(dataLength)).u32(quint32(dataLength));
    b.u16(quint16(nameLength)).u16(quint16(extraLength));
    b.bytes(name).fill(extraLength, 'x').fill(dataLength, 'd');
    const int directory = b.pos();
    for (int i = 0; i < entries; ++i) {
        const QByteArray entryName = "f" + QByteArray::number(i);
        b.u32(0x02014b50).u16(20).u16(10).u16(0).u16(0).u16(0).u16(0).u32(0);
        b.u32(quint32(dataLength)).u32(quint32(dataLength));
        b.u16(quint16(entryName.size())).u16(0).u16(0).u16(0).u16(0).u32(0).u32(0);
        b.bytes(entryName);
    }
    const int directorySize = b.pos() - directory;
    b.u32(0x06054b50).u16(0).u16(0).u16(quint16(entries)).u16(quint16(entries));
    b.u32(quint32(directorySize)).u32(quint32(directory)).u16(0);
    return b.data();
}

} // namespace

FUZZ_REGRESSION(shared_long_local_name)
{
    return sharedHeader(2000, 0xFFFF, 0xFFFF, 0);
}

FUZZ_REGRESSION(shared_file_data)
{
    return sharedHeader(1000, 1, 0, 60000);
}
