// Pakfile archives as lump 40 of an otherwise fixed map.
#include "FuzzTarget.h"
#include "MapBuilder.h"
#include "MapExercise.h"

int fuzzOne(const QByteArray &input)
{
    MapFixture map = MapFixtures::typicalMap();
    map.lumps[40] = input;
    MapExercise::run(map.build());
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    ZipFixture typical;
    MapFixtures::typicalMap(&typical);
    ZipFixture odd;
    odd.add("Folder/", QByteArray());
    odd.add("folder\\File.TXT", "first").localName = "folder/File.TXT";
    odd.add("FOLDER/file.txt", "second");
    odd.add("deflated.bin", "xx").method = 8;
    odd.gapBetweenEntries = "junk";
    odd.archiveComment = "comment";
    odd.trailer = "tail";
    return {typical.build(), odd.build(), ZipFixture().build()};
}
