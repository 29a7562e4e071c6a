// Compiled maps, opened, edited and flushed as the program does.
#include "FuzzTarget.h"
#include "MapBuilder.h"
#include "MapExercise.h"

int fuzzOne(const QByteArray &input)
{
    MapExercise::run(input);
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    MapFixture typical = MapFixtures::typicalMap();
    // Version 21 in the other record layout, with a pakfile whose files carry
    // data descriptors, extra fields and comments.
    MapFixture layoutB = MapFixtures::typicalMap();
    layoutB.version = 21;
    layoutB.layoutB = true;
    ZipFixture zip;
    zip.add("a/b.txt", "bee").descriptor = true;
    ZipFixture::Entry &extra = zip.add("c.vmt", "see");
    extra.localExtra = "LX";
    extra.centralExtra = "CX";
    extra.comment = "note";
    zip.gapBeforeDirectory = "gap";
    layoutB.lumps[40] = zip.build();
    // Lumps out of file order and no pakfile.
    MapFixture plain;
    plain.version = 19;
    plain.lumps[0] = "{\n\"classname\" \"worldspawn\"\n}\n";
    plain.lumps[43] = QByteArray("a\0b\0", 4);
    plain.order = {43, 0};
    return {typical.build(), layoutB.build(), plain.build()};
}
