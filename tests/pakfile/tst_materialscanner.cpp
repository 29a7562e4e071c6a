#include "CScanFoundList.h"
#include "CScanRecord.h"
#include "GameFolder.h"
#include "MaterialScanner.h"

#include <QtTest>

namespace {

const QByteArray Configuration = "[vpakfile]\n"
                                 "[vmtmaterialkeys]\n"
                                 "$bottommaterial\n"
                                 "$fallbackmaterial\n"
                                 "[/vmtmaterialkeys]\n"
                                 "[vmttexturekeys]\n"
                                 "$basetexture:_rt_Camera\n"
                                 "$bumpmap\n"
                                 "[/vmttexturekeys]\n"
                                 "[/vpakfile]\n";

// Each key kind, an exclusion in other capitals, suffixes already present, a
// mutual include, a sprite sibling, an unsafe value, an unreadable script and
// a key inside a nested block.
const QByteArray Wall = "\"LightmappedGeneric\"\r\n"
                        "{\r\n"
                        "\t\"$basetexture\" \"brick/wall_diffuse.VTF\"\r\n"
                        "\t\"$basetexture\" \"_RT_camera\"\r\n"
                        "\t\"$bumpmap\" \"\\\\Brick\\\\\\\\wall_normal\\\\ \"\r\n"
                        "\t\"include\" \"materials/brick/base.vmt\"\r\n"
                        "\t\"$bottommaterial\" \"brick/wall_bottom.VMT\"\r\n"
                        "\t\"$fallbackmaterial\" \"effects/glow\"\r\n"
                        "\t\"$fallbackmaterial\" \"effects/spark\"\r\n"
                        "\t\"$bumpmap\" \"../../../etc/passwd\"\r\n"
                        "\t\"$bottommaterial\" \"Brick/Locked\"\r\n"
                        "\t\"Proxies\"\r\n"
                        "\t{\r\n"
                        "\t\t\"AnimatedTexture\"\r\n"
                        "\t\t{\r\n"
                        "\t\t\t\"$basetexture\" \"brick/anim\"\r\n"
                        "\t\t}\r\n"
                        "\t}\r\n"
                        "}\r\n";

const QString Unsafe = "Read Error: Refusing unsafe path \"materials/../../../etc/passwd.vtf\"";

} // namespace

class TestMaterialScanner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useConfiguration(Configuration); }
    void scan_data();
    void scan();
    void longChainStops();
};

void TestMaterialScanner::scan_data()
{
    QTest::addColumn<bool>("withBase");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("game folder")
        << true
        << QStringList{"materials/brick/wall.vmt",          "materials/effects/spark.vmt",
                       "materials/Brick/Wall_Diffuse.vtf",  "materials/Brick/wall_normal.vtf",
                       "materials/Brick/Base.vmt",          "materials/brick/base.vtf",
                       "materials/Brick/Wall_Bottom.vmt",   "materials/brick/bottom_normal.vtf",
                       "materials/effects/glow.vmt",        "materials/Effects/Glow.spr",
                       "materials/effects/glow_sprite.vtf", "materials/Brick/Locked.vmt",
                       "materials/brick/anim.vtf"}
        << QStringList{Unsafe, "Read Error: Unable to read "
                               "\".../materials/Brick/Locked.vmt\""};
    QTest::newRow("no game folder")
        << false
        << QStringList{"materials/brick/wall.vmt",         "materials/effects/spark.vmt",
                       "materials/brick/wall_diffuse.vtf", "materials/Brick/wall_normal.vtf",
                       "materials/brick/base.vmt",         "materials/brick/wall_bottom.vmt",
                       "materials/effects/glow.vmt",       "materials/Brick/Locked.vmt",
                       "materials/brick/anim.vtf"}
        << QStringList{Unsafe};
}

void TestMaterialScanner::scan()
{
    QFETCH(bool, withBase);
    QFETCH(QStringList, found);
    QFETCH(QStringList, errors);

    GameFolder game;
    game.write("materials/Brick/Wall.vmt", Wall);
    game.write("materials/Brick/Base.vmt", "\"include\" \"materials/Brick/wall.vmt\"\n"
                                           "\"$basetexture\" \"brick/base\"\n");
    game.write("materials/Brick/Wall_Bottom.vmt", "\"$bumpmap\" \"brick/bottom_normal\"");
    game.write("materials/Brick/Wall_Diffuse.vtf", "VTF");
    game.write("materials/Effects/Glow.spr", "\"$basetexture\" \"effects/glow_sprite\"");
    game.write("materials/Effects/Spark.spr", "\"$basetexture\" \"effects/spark_sprite\"");
    game.write("materials/Brick/Locked.vmt", QByteArray(), MaxScriptBytes + 1);

    // As the content scan leaves it: the script itself and one material
    // already found, whose sprite sibling is then not looked for.
    CScanFoundList list;
    list.add("materials/brick/wall.vmt");
    list.add("materials/effects/spark.vmt");
    QStringList log;
    const std::unique_ptr<CScanRecord> record = splitLines(Wall);
    scanMaterialScript(*record, list, withBase ? game.base() : QString(), &log);

    QCOMPARE(list.paths(), found);
    QCOMPARE(log, errors);
}

void TestMaterialScanner::longChainStops()
{
    // Each script includes the next: the scan stops at the nesting limit.
    GameFolder game;
    const int length = CScanFoundList::MaxNesting + 5;
    for (int i = 0; i < length; ++i)
        game.write(QString("materials/c%1.vmt").arg(i),
                   QString("\"include\" \"materials/c%1.vmt\"").arg(i + 1).toLatin1());
    CScanFoundList list;
    QStringList log;
    scanMaterialScript(*splitLines("\"include\" \"materials/c0.vmt\""), list, game.base(), &log);
    QCOMPARE(list.size(), CScanFoundList::MaxNesting + 1);
    QCOMPARE(log, QStringList{QString("Read Error: References nested too deeply at "
                                      "\"materials/c%1.vmt\"")
                                  .arg(CScanFoundList::MaxNesting)});
}

QTEST_GUILESS_MAIN(TestMaterialScanner)
#include "tst_materialscanner.moc"
