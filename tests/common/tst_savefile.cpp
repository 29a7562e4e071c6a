#include "CSaveFile.h"
#include "FileBytes.h"
#include "FullDisk.h"

#include <QDataStream>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

class TestSaveFile : public QObject
{
    Q_OBJECT

private slots:
    void failedSavesKeepTheOldFile_data();
    void failedSavesKeepTheOldFile();
    void writeFailureKeepsTheSystemReason();
    void savesThroughALink();
};

namespace {

const QByteArray Old = "old contents\r\n";

// A save of `bytes` in `chunks` writes, as the writers of the program do
// (a data stream writes a few bytes at a time).
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
    QTest::newRow("no room at all") << "t.vtf" << qint64(0) << 1 << full;
    QTest::newRow("room for part of one write") << "t.vtf" << qint64(100) << 1 << full;
    QTest::newRow("room for part of many small writes") << "t.vtf" << qint64(5000) << 4000 << full;
    // As root ignores permissions: a name so long that no temporary name
    // fits beside it. The target itself is writable, and stays untouched.
    QTest::newRow("no temporary file beside the target")
        << QString(250, QLatin1Char('r')) + ".vtf" << qint64(-1) << 1
        << "Unable to save \"" + QString(250, QLatin1Char('r')) +
               ".vtf\": the folder \"<folder>\" cannot be written to. Save to another folder.";
}

void TestSaveFile::failedSavesKeepTheOldFile()
{
    QFETCH(QString, name);
    QFETCH(qint64, room);
    QFETCH(int, chunks);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(writeFile(path, Old));

    const FullDisk disk(room);
    CSaveFile file(path);
    QString error;
    QVERIFY(!save(file, QByteArray(64 * 1024, 'n'), chunks, error));
    QCOMPARE(error, message.replace("<folder>", dir.path()));
    QCOMPARE(file.folderRefused(), room < 0);
    QCOMPARE(readFile(path), Old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});

    QString reason;
    QVERIFY(!CSaveFile::writeAll(path, "new", &reason));
    QCOMPARE(reason, room < 0 ? message : QStringLiteral("No space left on device"));
    QCOMPARE(readFile(path), Old);
}

// A real short write: the system stops a file at its size limit after part
// of a write, and Qt then reports no reason of its own.
void TestSaveFile::writeFailureKeepsTheSystemReason()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.vtf");
    QVERIFY(writeFile(path, Old));
    rlimit before{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &before) == 0);
    rlimit limited = before;
    limited.rlim_cur = 40000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
    CSaveFile file(path);
    QString error;
    const bool saved = save(file, QByteArray(100000, 'n'), 1, error);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(!saved);
    QCOMPARE(error, QStringLiteral("Write Error: Unable to write (File too large)"));
    QCOMPARE(readFile(path), Old);
}

// A link stays a link: the file it names is replaced, and a refusal names
// that file's folder.
void TestSaveFile::savesThroughALink()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("real"));
    const QString real = dir.filePath("real/t.vmt");
    const QString link = dir.filePath("t.vmt");
    QVERIFY(writeFile(real, Old));
    QVERIFY(QFile::link(real, link));
    QVERIFY(CSaveFile::writeAll(link, "new"));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readFile(real), QByteArray("new"));
    QCOMPARE(CSaveFile::folderMessage(link),
             "Unable to save \"t.vmt\": the folder \"" + dir.filePath("real") +
                 "\" cannot be written to. Save to another folder.");
}

QTEST_MAIN(TestSaveFile)
#include "tst_savefile.moc"
