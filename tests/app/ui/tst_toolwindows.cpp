#include "CFileFGD.h"
#include "CFileVBSP.h"
#include "CFileVTF.h"
#include "CPrompt.h"
#include "VBSPINFO.h"
#include "VENTITY.h"
#include "VFGD.h"
#include "VPakfile.h"
#include "VVBSP.h"
#include "VVMT.h"
#include "VVTF.h"

#include <QPointer>
#include <QtTest>

// The tool windows the main window opens, as far as the main window relies on
// them: titles, the path or bytes they are handed, and ownership of the
// document they are given.
class TestToolWindows : public QObject
{
    Q_OBJECT

private slots:
    void materialEditorTitles();
    void windowsOwnTheirDocuments();
    void pathsShowLiterally();
    void textureDimensions_data();
    void textureDimensions();
};

void TestToolWindows::materialEditorTitles()
{
    VVMT empty{QString()};
    QCOMPARE(empty.windowTitle(), QStringLiteral("VMT Editor[*]"));
    VVMT entry(QByteArray("\"LightmappedGeneric\"\n{\n}\n"), QStringLiteral("brick01.vmt"));
    QCOMPARE(entry.windowTitle(), QStringLiteral("brick01[*]"));
    QCOMPARE(entry.text(), QStringLiteral("\"LightmappedGeneric\"\n{\n}\n"));
}

void TestToolWindows::windowsOwnTheirDocuments()
{
    QPointer<CFileVTF> texture = new CFileVTF(4, 4);
    delete new VVTF(texture.data());
    QVERIFY(texture.isNull());

    QPointer<CFileFGD> definitions = new CFileFGD;
    delete new VFGD(definitions.data());
    QVERIFY(definitions.isNull());

    // Not a QObject: the sanitizer build reports it if the window leaks it.
    auto *details = new CFileVBSP;
    details->path = "scripts/detail.vbsp";
    VVBSP *editor = new VVBSP(details);
    QCOMPARE(editor->path(), QStringLiteral("scripts/detail.vbsp"));
    delete editor;

    // Without a document the windows stay empty.
    VVTF noTexture(static_cast<CFileVTF *>(nullptr));
    QVERIFY(!noTexture.document());
    VFGD noDefinitions;
    QVERIFY(!noDefinitions.document());
}

void TestToolWindows::pathsShowLiterally()
{
    // A path is a file name, never markup.
    const QString path = QStringLiteral("/maps/<b>odd</b>.bsp");
    {
        // The map does not exist: the window says why and stays empty.
        QList<CPrompt::Request> asked;
        CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
            asked << request;
            CPrompt::Answer answer;
            answer.button = QMessageBox::Ok;
            return answer;
        });
        VBSPINFO info(path);
        QCOMPARE(info.windowTitle(), QStringLiteral("BSP Info"));
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.at(0).kind, CPrompt::Kind::Warning);
        QCOMPARE(asked.at(0).text, QStringLiteral("File Error: Unable to open"));
        QVERIFY(info.mapPath().isEmpty());

        VENTITY entity(nullptr, path);
        QCOMPARE(entity.windowTitle(), QStringLiteral("Entity Lump Editor"));
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked.at(1).text, QStringLiteral("File Error: Unable to open"));
        QVERIFY(entity.path().isEmpty());
    }

    VPakfile pakfile;
    QCOMPARE(pakfile.windowTitle(), QStringLiteral("Pakfile Lump Editor"));
    QStringList warnings;
    CPrompt::ScopedHandler answer([&](const CPrompt::Request &r) {
        warnings << r.title + '|' + r.text;
        return CPrompt::Answer();
    });
    QVERIFY(!pakfile.open(path));
    // Opened to be saved: the system's reason comes along.
    QCOMPARE(warnings, QStringList{"Pakfile Lump Editor|File Error: Unable to open (No such file "
                                   "or directory)"});
}

void TestToolWindows::textureDimensions_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("expectedWidth");
    QTest::addColumn<int>("expectedHeight");

    QTest::newRow("powers of two") << 256 << 64 << 256 << 64;
    QTest::newRow("zero") << 0 << 0 << 1 << 1;
    QTest::newRow("not powers of two") << 100 << 3 << 1 << 1;
    QTest::newRow("largest") << 32768 << 1 << 32768 << 1;
    QTest::newRow("16-bit wrap") << 65536 + 8 << 65535 << 8 << 1;
}

void TestToolWindows::textureDimensions()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, expectedWidth);
    QFETCH(int, expectedHeight);

    const CFileVTF texture{quint16(width), quint16(height)};
    QCOMPARE(int(texture.width()), expectedWidth);
    QCOMPARE(int(texture.height()), expectedHeight);
    QCOMPARE(texture.displayName(), QStringLiteral("untitled"));
}

QTEST_MAIN(TestToolWindows)
#include "tst_toolwindows.moc"
