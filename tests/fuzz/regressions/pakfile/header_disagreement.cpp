// A record whose directory entry says method 256 where its local header says
// stored. The reader took the local header, the flush the directory entry:
// the file read before the flush could not be read after it.
#include "FuzzRegression.h"
#include "MapBuilder.h"

FUZZ_REGRESSION(central_method_256)
{
    ZipFixture zip;
    zip.add("first.txt", "one");
    zip.add("middle.txt", "the middle file");
    zip.add("last.txt", "three");
    ByteBuilder b;
    b.bytes(zip.build());
    const int middle = zip.directoryOffset + 46 + zip.entries[0].name.size();
    b.patchU16(middle + 10, 256);
    return b.data();
}
