#include "CDelegateBSP.h"
#include "CPakfileExport.h"
#include "CPath.h"
#include "CSaveFile.h"
#include "FileTypeName.h"
#include "Fuzz.h"
#include "PakfileAddPaths.h"
#include "PakfileFixture.h"
#include "PakfileStatistics.h"

#include <QtTest>

using namespace MapFixtures;
using Result = CPakfileExport::Result;
Q_DECLARE_METATYPE(CPakfileExport::Result)

// The pakfile editor's logic below its window: type names, status counts,
// where added files go, and the exported archive.
class TestPakfileLogic : public QObject
{
    Q_OBJECT

private slots:
    void typeNames_data()
    {
        // Row name: the file name.
        QTest::addColumn<QString>("type");
        QTest::newRow("a.vmt") << "Material";
        QTest::newRow("sky.hdr.vtf") << "Texture (HDR)";
        QTest::newRow("m.dx90.vtx") << "Mesh (DX9)";
        QTest::newRow("m.xbox.vtx") << "Mesh (XBox)";
        QTest::newRow("m.lod.dx90.vtx") << "Other";
        QTest::newRow("A.VMT") << "Other";
        QTest::newRow("README") << "Other";
        QTest::newRow("map.nav") << "Navigation Mesh";
    }
    void typeNames()
    {
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QTEST(fileTypeName(CPath(name, true).extension()), "type");
    }

    void statusCountsUnknownTypesAsOther()
    {
        const QVector<int> counts = PakfileStatistics::count(
            {"Material", "Navigation Mesh", "Nodegraph", "Cache", "Other", "material"});
        QCOMPARE(PakfileStatistics::labels().last(), QStringLiteral("Other:"));
        QCOMPARE(counts.first(), 1);
        QCOMPARE(counts.last(), 5);
    }

    void addedFilesFollowTheChosenFolder_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("drive, from materials")
            << QStringList{"D:/game/hl2/materials/x/y.vtf"}
            << QStringList{"game", "hl2", "materials", "x", "y.vtf"} << 2
            << QStringList{"/materials/x/y.vtf"};
        // The last row, the name or "<different>", puts the files at the root.
        QTest::newRow("several files") << QStringList{"/home/u/sound/a.wav", "/home/u/sound/b.wav"}
                                       << QStringList{"home", "u", "sound", "<different>"} << 2
                                       << QStringList{"/sound/a.wav", "/sound/b.wav"};
        QTest::newRow("several, to the root")
            << QStringList{"/u/a.wav", "/u/b.wav"} << QStringList{"u", "<different>"} << 1
            << QStringList{"/a.wav", "/b.wav"};
        QTest::newRow("backslashes, drive root")
            << QStringList{"C:\\\\y.vtf"} << QStringList{"y.vtf"} << 1 << QStringList{"/y.vtf"};
    }
    void addedFilesFollowTheChosenFolder()
    {
        QFETCH(QStringList, files);
        QFETCH(int, row);
        QTEST(PakfileAddPaths::choices(files), "choices");
        QStringList paths;
        for (const QString &file : files)
            paths << PakfileAddPaths::pathFromChoice(file, row);
        QTEST(paths, "paths");
    }

    void typedFolderTakesTheFiles()
    {
        QCOMPARE(PakfileAddPaths::pathUnderFolder("/a/b/y.vtf", " /custom/dir/ "),
                 QStringLiteral("/custom/dir/y.vtf"));
        QCOMPARE(PakfileAddPaths::pathUnderFolder("/a/b/y.vtf", "\\"), QStringLiteral("/y.vtf"));
        QCOMPARE(PakfileAddPaths::localDirectory("/a/b/y.vtf"), QStringLiteral("/a/b"));
    }

    void exportComment()
    {
        QCOMPARE(CPakfileExport::comment("de_test", "abc"),
                 QByteArray("Pakfile extracted from de_test.bsp with previous comment \"abc\""));
        QCOMPARE(CPakfileExport::comment("de_test", ""),
                 QByteArray("Pakfile extracted from de_test.bsp"));
    }

    void endRecordReachesTheEnd()
    {
        // A comment that itself holds an end signature must not be taken
        // for the record.
        ByteBuilder b;
        b.fill(5, 'x').u32(0x06054b50).zeros(16).u16(24);
        b.u32(0x06054b50).zeros(16).u16(0).fill(2, 'y');
        QCOMPARE(CPakfileExport::findEndRecord(b.data()), 5);
        QCOMPARE(CPakfileExport::findEndRecord(b.data() + "z"), -1);
        QCOMPARE(CPakfileExport::findEndRecord(QByteArray()), -1);
        const auto find = [](const QByteArray &tail) {
            const int at = CPakfileExport::findEndRecord(tail);
            QVERIFY(at == -1 || (at >= 0 && at <= tail.size() - 22));
        };
        Fuzz::truncations(pakfileMap().lumps[40], find);
        Fuzz::byteFlips(pakfileMap().lumps[40], 300, 29, find);
    }

    void exportedArchive_data()
    {
        QTest::addColumn<QByteArray>("mapComment");
        QTest::addColumn<QByteArray>("trailer");
        QTest::addColumn<QByteArray>("edited");
        QTest::addColumn<Result>("result");
        QTest::newRow("comment") << QByteArray("abc") << QByteArray() << QByteArray()
                                 << Result::Written;
        QTest::newRow("no comment")
            << QByteArray() << QByteArray() << QByteArray() << Result::Written;
        QTest::newRow("edited, not saved")
            << QByteArray("abc") << QByteArray() << QByteArray("edited") << Result::Written;
        QTest::newRow("bytes after the end record")
            << QByteArray("abc") << QByteArray("junk") << QByteArray() << Result::NoEndRecord;
    }
    void exportedArchive()
    {
        QFETCH(QByteArray, mapComment);
        QFETCH(QByteArray, trailer);
        QFETCH(QByteArray, edited);
        QFETCH(Result, result);
        ZipFixture zip;
        MapFixture fixture = pakfileMap(&zip);
        zip.archiveComment = mapComment;
        zip.trailer = trailer;
        const QByteArray lump = fixture.lumps[40] = zip.build();
        MapFile file(fixture.build());
        CDelegateBSP map;
        QVERIFY(map.open(file.path(), false));
        if (!edited.isNull())
            QVERIFY(map.setPakfileComment(edited));
        const QByteArray comment = CPakfileExport::comment(map.baseName(), map.pakfileComment());
        const QString target = QFileInfo(file.path()).path() + "/out.zip";
        QString error;
        QCOMPARE(CPakfileExport::write(map, target, comment, &error), result);

        QFile out(target);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QByteArray expected = lump;
        if (result == Result::Written) {
            ByteBuilder b;
            b.bytes(lump.left(zip.endOffset + 20)).u16(quint16(comment.size())).bytes(comment);
            expected = b.data();
        }
        QCOMPARE(out.readAll(), expected);
        if (result != Result::NoEndRecord && zipToolsPresent()) {
            QByteArray archiveComment;
            QCOMPARE(zipVerdict(target, &archiveComment), QString());
            QCOMPARE(archiveComment, result == Result::Written ? comment : mapComment);
        }
    }

    void failedExportKeepsTheOldFile()
    {
        MapFile file(pakfileMap().build());
        CDelegateBSP map;
        QVERIFY(map.open(file.path(), false));
        map.close();
        const QString target = QFileInfo(file.path()).path() + "/out.zip";
        QVERIFY(CSaveFile::writeAll(target, "old"));
        QString error;
        QCOMPARE(CPakfileExport::write(map, target, "new", &error), Result::CopyFailed);
        QCOMPARE(error, QStringLiteral("File Error: Package not open"));
        QFile out(target);
        QVERIFY(out.open(QIODevice::ReadOnly) && out.readAll() == "old");
    }
};

QTEST_GUILESS_MAIN(TestPakfileLogic)
#include "tst_pakfilelogic.moc"
