#include "CFilePCF.h"
#include "CSaveFile.h"
#include "ChildRun.h"
#include "ExchangeFixture.h"
#include "PCFDelegate.h"
#include "PCFManifest.h"
#include "PcfBuilder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace ExchangeFixture;

namespace {

const QByteArray oldBytes("old bytes!");
const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
const QFile::Permissions folderReadOnly =
    readOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
const QFile::Permissions everyone = QFile::Permissions(0x7777);
const QFile::Permissions fileForEveryone =
    readOnly | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;

// A file of the first encoding with one system "fire", by hand.
QByteArray fireFile()
{
    PcfBuilder b(1);
    b.header().dictionary(
        {"DmElement", "particleSystemDefinitions", "DmeParticleSystemDefinition"});
    b.i32(2).element("DmElement", "untitled", 0).element("DmeParticleSystemDefinition", "fire", 1);
    b.i32(1).attribute("particleSystemDefinitions", 15).i32(1).i32(1);
    b.i32(0);
    return b.data();
}

// Each way the particle tools save a whole file; true when it reports
// success and, after a failure, the reason given is `error` (when set).
bool save(const QString &saver, const QString &folder, const QString &sources, const QString &error)
{
    std::unique_ptr<CFilePCF> document(ExchangeFixture::document(1, {"fire"}));
    const QString pcf = QDir(folder).filePath("fire.pcf");
    QString reason;
    bool saved = false;
    if (saver == "editor") {
        PCFDelegate delegate;
        saved = delegate.write(pcf, document.get(), 1);
        reason = delegate.error();
    } else {
        RecordingSink sink;
        PCFManifest manifest(&sink);
        manifest.load(sources, {"fire.pcf"});
        manifest.scanEntities("\"effect_name\" \"fire\"\n");
        saved = manifest.writeManifest(QDir(folder).filePath("map.bsp"));
        reason = sink.messages.isEmpty() ? QString() : sink.messages.last();
    }
    const QString target =
        QDir(folder).filePath(saver == "editor" ? "fire.pcf" : "map_manifest.txt");
    const QString expected = QString(error)
                                 .replace("<folder message>", CSaveFile::folderMessage(target))
                                 .replace("<file>", target);
    if (!saved && reason != expected) {
        qWarning("%s: unexpected reason \"%s\"", qPrintable(saver), qPrintable(reason));
        return true; // neither outcome the test expects
    }
    return saved;
}

} // namespace

class TestParticleSave : public QObject
{
    Q_OBJECT

private slots:
    void saves_data();
    void saves();
};

void TestParticleSave::saves_data()
{
    QTest::addColumn<QString>("saver");
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<qint64>("sizeLimit");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("succeeds");
    // Each failure keeps the system's reason.
    const QStringList openError{
        "Write Error: Unable to open file (Existing file <file> is not writable)",
        "Unable to write \"<file>\" (Existing file <file> is not writable)"};
    const QStringList writeError{"Write Error: Unable to write file (File too large)",
                                 "Unable to write \"<file>\" (File too large)"};
    // The particle files (editor, export, batch) and the map manifest.
    const QStringList savers{"editor", "manifest"};
    for (int i = 0; i < savers.size(); ++i) {
        const QByteArray s = savers[i].toLatin1();
        // No room for a temporary file, but the file itself may be written:
        // refused rather than written in place.
        QTest::newRow(s + ": read-only folder")
            << savers[i] << false << true << qint64(-1) << "<folder message>" << false;
        QTest::newRow(s + ": read-only folder and file")
            << savers[i] << false << false << qint64(-1) << openError[i] << false;
        // The disk fills up while the new file is written.
        QTest::newRow(s + ": disk full")
            << savers[i] << true << true << qint64(oldBytes.size() + 6) << writeError[i] << false;
    }
}

void TestParticleSave::saves()
{
    QFETCH(QString, saver);
    QFETCH(bool, folderWritable);
    QFETCH(bool, fileWritable);
    QFETCH(qint64, sizeLimit);
    QFETCH(QString, error);
    QFETCH(bool, succeeds);

    // Folders an ordinary user may enter and read.
    QTemporaryDir base;
    QVERIFY(base.isValid());
    QVERIFY(QFile::setPermissions(base.path(), everyone));
    const QString folder = base.filePath("target");
    const QString sources = base.filePath("sources");
    QVERIFY(QDir().mkdir(folder) && QDir().mkdir(sources));
    QVERIFY(writeFile(QDir(sources).filePath("fire.pcf"), fireFile()));
    const QString name = saver == "manifest" ? "map_manifest.txt" : "fire.pcf";
    const QString path = QDir(folder).filePath(name);
    QVERIFY(writeFile(path, oldBytes));
    QVERIFY(QFile::setPermissions(path, fileWritable ? fileForEveryone : readOnly));
    QVERIFY(QFile::setPermissions(folder, folderWritable ? everyone : folderReadOnly));

    ChildRun::Limits limits;
    limits.ordinaryUser = !folderWritable;
    limits.fileSize = sizeLimit;
    const ChildRun::Result result =
        ChildRun::run(limits, [&] { return save(saver, folder, sources, error); });
    QFile::setPermissions(folder, everyone);
    if (result == ChildRun::Unavailable)
        QSKIP("This machine does not let the test give up root's rights or limit file sizes");

    QCOMPARE(result == ChildRun::Succeeded, succeeds);
    const QByteArray now = readFile(path);
    if (succeeds)
        QVERIFY(now.startsWith(saver == "manifest" ? "particles_manifest" : "<!-- dmx"));
    else
        QCOMPARE(now, oldBytes);
    // No temporary file is left behind.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{name});
}

QTEST_GUILESS_MAIN(TestParticleSave)
#include "tst_particlesave.moc"
