#include "CSaveFile.h"
#include "ChildRun.h"
#include "FileBytes.h"
#include "FullDisk.h"
#include "OwnedSave.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestSaveFile : public QObject
{
    Q_OBJECT

private slots:
    void failedSavesKeepTheOldFile_data();
    void failedSavesKeepTheOldFile();
    void writeFailureKeepsTheSystemReason_data();
    void writeFailureKeepsTheSystemReason();
    void longNamesSaveAgainAndAgain_data();
    void longNamesSaveAgainAndAgain();
    void ownerAndGroupKept_data() { OwnedSave::addRows(); }
    void ownerAndGroupKept();
};

namespace {

const QByteArray Old = "old contents\r\n";

// Saves `bytes` in `chunks` writes, as a data stream writes a few bytes at a time.
bool save(CSaveFile &file, const QByteArray &bytes, int chunks, QString &error)
{
    bool ok = file.open(QIODevice::WriteOnly);
    const int step = qMax(1, bytes.size() / chunks);
    for (int at = 0; ok && at < bytes.size(); at += step)
        ok = file.write(bytes.mid(at, step)) == bytes.mid(at, step).size();
    ok = ok && file.commit();
    if (!ok) {
        error = file.failure(QStringLiteral("Write Error: Unable to write"));
        if (file.isOpen())
            file.cancelWriting();
    }
    return ok;
}

} // namespace

// Each failure leaves the old file byte-identical, no temporary file behind,
// and a message that says why.
void TestSaveFile::failedSavesKeepTheOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("room");
    QTest::addColumn<int>("chunks");
    QTest::addColumn<QString>("message");
    const QString full = QStringLiteral("Write Error: Unable to write (No space left on device)");
    QTest::newRow("room for part of one write") << "t.vtf" << qint64(100) << 1 << full;
    QTest::newRow("room for part of many small writes") << "t.vtf" << qint64(5000) << 4000 << full;
    // No folder takes the name itself (nor holds an old file by that name).
    QTest::newRow("name too long for any folder")
        << QString(4000, QLatin1Char('e')) << qint64(-1) << 1
        << "Write Error: Unable to write (File name too long)";
}

void TestSaveFile::failedSavesKeepTheOldFile()
{
    QFETCH(QString, name);
    QFETCH(qint64, room);
    QFETCH(int, chunks);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QByteArray old = writeFile(path, Old) ? Old : QByteArray();

    const FullDisk disk(room);
    CSaveFile file(path);
    QString error;
    QVERIFY(!save(file, QByteArray(64 * 1024, 'n'), chunks, error));
    QCOMPARE(error, message.replace("<folder>", dir.path()));
    QCOMPARE(file.folderRefused(), message.contains("folder"));
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), int(!old.isEmpty()));

    QString reason;
    QVERIFY(!CSaveFile::writeAll(path, "new", &reason));
    QCOMPARE(reason, file.folderRefused() ? message : message.section('(', 1).chopped(1));
    QCOMPARE(readFile(path), old);
}

// Real failures in a child process: a file size limit stops a write part way
// (Qt then keeps no reason of its own), and an ordinary user cannot make a
// temporary file in a read-only folder.
void TestSaveFile::writeFailureKeepsTheSystemReason_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("file size limit") << false;
    QTest::newRow("read-only folder") << true;
}

void TestSaveFile::writeFailureKeepsTheSystemReason()
{
    QFETCH(bool, readOnlyFolder);
    QTemporaryDir dir;
    const QString folder = dir.filePath("f");
    const QString path = folder + "/t.vtf";
    QVERIFY(writeFile(path, Old));
    const QFile::Permissions all = QFile::Permissions(0x7777);
    QVERIFY(QFile::setPermissions(dir.path(), all) && QFile::setPermissions(path, all));
    QVERIFY(QFile::setPermissions(folder, readOnlyFolder ? QFile::Permissions(0x5555) : all));
    const QString message = readOnlyFolder
                                ? CSaveFile::folderMessage(path)
                                : QStringLiteral("Write Error: Unable to write (File too large)");

    ChildRun::Limits limits;
    limits.ordinaryUser = readOnlyFolder;
    limits.fileSize = readOnlyFolder ? -1 : 40000;
    const ChildRun::Result result = ChildRun::run(limits, [&] {
        CSaveFile file(path);
        QString error;
        if (save(file, QByteArray(100000, 'n'), 1, error))
            return false;
        if (error != message)
            qWarning("%s", qPrintable(error));
        return error == message;
    });
    QFile::setPermissions(folder, all);
    if (result == ChildRun::Unavailable)
        QSKIP("This machine does not let the test give up root's rights or limit file sizes");
    QCOMPARE(result, ChildRun::Succeeded);
    QCOMPARE(readFile(path), Old);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"t.vtf"});
}

// Every name the folder takes saves again and again, its permissions kept.
void TestSaveFile::longNamesSaveAgainAndAgain_data()
{
    QTest::addColumn<QString>("name");
    for (int length : {240, 248, 249, 255})
        QTest::newRow(qPrintable(QString::number(length))) << QString(length - 4, 'r') + ".vtf";
    QTest::newRow("255, two-byte letters") << QString(125, QChar(0xe9)) + "r.vtf";
}

void TestSaveFile::longNamesSaveAgainAndAgain()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    for (const QByteArray &bytes : {QByteArray("first"), QByteArray("second"), Old}) {
        QString error;
        QVERIFY2(CSaveFile::writeAll(path, bytes, &error), qPrintable(error));
        QCOMPARE(readFile(path), bytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        if (bytes != "first")
            QCOMPARE(int(QFileInfo(path).permissions() & 0x7077), 0x6000);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    }
}

void TestSaveFile::ownerAndGroupKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.vmt");
    QVERIFY(writeFile(path, Old));
    OwnedSave::check(path, [&] { return CSaveFile::writeAll(path, "new"); });
}

QTEST_MAIN(TestSaveFile)
#include "tst_savefile.moc"
