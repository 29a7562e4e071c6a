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

// The pakfile editor's logic below its window: status counts,
// where added files go, and the exported archive.
class TestPakfileLogic : public QObject
{
    Q_OBJECT

private slots:
    // A type the status has no row for counts as "Other".
    void statusCountsOther()
    {
        const QString type = fileTypeName(CPath("map.nav", true).extension());
        QCOMPARE(type, QStringLiteral("Navigation Mesh"));
        QCOMPARE(PakfileStatistics::count({type}).last(), 1);
    }

    // The chosen row names the first pakfile folder; the last row, the name or
    // "<different>", puts the files at the root. A typed folder (the list
    // cancelled) loses only one "/" at either end; any other blank or
    // separator stays, for the package to refuse. On Linux a "\\" is part of
    // a name.
    void addedFilesFollowTheChosenFolder_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("drive, from materials")
            << QStringList{"D:/game/hl2/materials/x/y.vtf"}
            << QStringList{"game", "hl2", "materials", "x", "y.vtf"} << 2 << QString()
            << QStringList{"materials/x/y.vtf"};
        QTest::newRow("several, to the root")
            << QStringList{"/u/a.wav", "/u/b.wav"} << QStringList{"u", "<different>"} << 1
            << QString() << QStringList{"a.wav", "b.wav"};
        QTest::newRow("backslashes, drive root")
            << QStringList{"C:\\\\y.vtf"} << QStringList{"y.vtf"} << 1 << QString()
            << QStringList{"y.vtf"};
        QTest::newRow("backslash in a Linux name")
            << QStringList{"/m/..\\..\\evil.cfg"} << QStringList{"m", "..\\..\\evil.cfg"} << 0
            << QString() << QStringList{"m/..\\..\\evil.cfg"};
        QTest::newRow("typed") << QStringList{"/a/y.vtf", "/b/z.vtf"}
                               << QStringList{"a", "<different>"} << -1 << "/custom/dir/"
                               << QStringList{"custom/dir/y.vtf", "custom/dir/z.vtf"};
        QTest::newRow("typed with blanks and backslashes")
            << QStringList{"/a/y.vtf"} << QStringList{"a", "y.vtf"} << -1 << " \\custom/dir/ "
            << QStringList{" \\custom/dir/ /y.vtf"};
    }
    void addedFilesFollowTheChosenFolder()
    {
        QFETCH(QStringList, files);
        QFETCH(int, row);
        QFETCH(QString, typed);
        QTEST(PakfileAddPaths::choices(files), "choices");
        QStringList paths;
        for (const QString &file : files)
            paths << (typed.isNull() ? PakfileAddPaths::pathFromChoice(file, row)
                                     : PakfileAddPaths::pathUnderFolder(file, typed));
        QTEST(paths, "paths");
    }

    void endRecordReachesTheEnd()
    {
        // A comment that itself holds an end signature must not be taken
        // for the record.
        ByteBuilder b;
        b.fill(5, 'x').u32(0x06054b50).zeros(16).u16(24);
        b.u32(0x06054b50).zeros(16).u16(0).fill(2, 'y');
        QCOMPARE(CPakfileExport::findEndRecord(b.data()), 5);
        const auto find = [](const QByteArray &tail) {
            const int at = CPakfileExport::findEndRecord(tail);
            QVERIFY(at == -1 || (at >= 0 && at <= tail.size() - 22));
        };
        Fuzz::truncations(pakfileMap().lumps[40], find);
        Fuzz::byteFlips(pakfileMap().lumps[40], 300, 29, find);
    }

    // The archive replaces an older file with the new comment patched into
    // its end record, checked by outside tools. Without a valid end record the
    // copy is kept unpatched; when the copy fails, the old file stays.
    void exportedArchive_data()
    {
        QTest::addColumn<QByteArray>("mapComment");
        QTest::addColumn<QByteArray>("trailer");
        QTest::addColumn<QByteArray>("edited");
        QTest::addColumn<Result>("result");
        QTest::addColumn<QByteArray>("comment");
        const QByteArray named = "Pakfile extracted from map.bsp";
        const QByteArray none;
        QTest::newRow("no comment") << none << none << none << Result::Written << named;
        QTest::newRow("edited, not saved")
            << QByteArray("abc") << none << QByteArray("edited") << Result::Written
            << named + " with previous comment \"edited\"";
        QTest::newRow("bytes after the end record")
            << QByteArray("abc") << QByteArray("junk") << none << Result::NoEndRecord
            << named + " with previous comment \"abc\"";
        QTest::newRow("map closed") << none << none << none << Result::CopyFailed << named;
    }
    void exportedArchive()
    {
        QFETCH(QByteArray, mapComment);
        QFETCH(QByteArray, trailer);
        QFETCH(QByteArray, edited);
        QFETCH(Result, result);
        QFETCH(QByteArray, comment);
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
        QCOMPARE(CPakfileExport::comment(map.baseName(), map.pakfileComment()), comment);
        const QString target = QFileInfo(file.path()).path() + "/out.zip";
        QVERIFY(CSaveFile::writeAll(target, "old"));
        if (result == Result::CopyFailed)
            map.close();
        QString error;
        QCOMPARE(CPakfileExport::write(map, target, comment, &error), result);
        QCOMPARE(error, result == Result::CopyFailed ? "File Error: Package not open" : "");

        QFile out(target);
        QVERIFY(out.open(QIODevice::ReadOnly));
        ByteBuilder expected;
        if (result == Result::Written)
            expected.bytes(lump.left(zip.endOffset + 20))
                .u16(quint16(comment.size()))
                .bytes(comment);
        else
            expected.bytes(result == Result::CopyFailed ? QByteArray("old") : lump);
        QCOMPARE(out.readAll(), expected.data());
        if (result == Result::Written && zipToolsPresent()) {
            QCOMPARE(QProcess::execute("unzip", {"-tqq", target}), 0);
            QCOMPARE(pythonZip(target).mid(4), QStringList{"#" + comment.toHex()});
        }
    }
};

QTEST_GUILESS_MAIN(TestPakfileLogic)
#include "tst_pakfilelogic.moc"
