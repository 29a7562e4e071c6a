// An end record that puts the central directory at the lump's first byte,
// its records 1000 bytes apart in junk. Each search for the next record
// copied a 64 KiB chunk however near the record lay, so the scan read 64 KiB
// per record of a 120 KiB lump.
#include "FuzzRegression.h"
#include "MapBuilder.h"

FUZZ_REGRESSION(scattered_central_records)
{
    constexpr int Records = 40;
    ByteBuilder b;
    for (int i = 0; i < Records; ++i) {
        b.fill(1000, 'j');
        b.u32(0x02014b50).u16(20).u16(10).u16(0).u16(0).u16(0).u16(0).u32(0).u32(1).u32(1);
        b.u16(1).u16(0).u16(0).u16(0).u16(0).u32(0).u32(0).bytes("f");
    }
    b.fill(120 * 1024 - b.pos(), 'j');
    const int directorySize = b.pos();
    b.u32(0x06054b50).u16(0).u16(0).u16(Records).u16(Records);
    b.u32(quint32(directorySize)).u32(0).u16(0);
    return b.data();
}
