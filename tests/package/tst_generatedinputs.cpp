// The bytes the package code writes for the generated inputs of the
// benchmarks, pinned: reading and writing may get faster, never different.
#include "CDelegateBSP.h"
#include "CDelegateVPK.h"
#include "CPackageHierarchyNode.h"
#include "PackageInputs.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray fileDigest(const QString &path)
{
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    return f.open(QIODevice::ReadOnly) && hash.addData(&f) ? hash.result().toHex() : "<unread>";
}

// Every entry of the node table, as extraction writes it: index, size and
// current bytes.
QByteArray entriesDigest(IPackageDelegate &d)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int i = 0; i < d.nodeCount(); ++i) {
        CPackageHierarchyNode *n = d.node(i);
        if (!n)
            continue;
        std::unique_ptr<QByteArray> bytes(d.readCurrent(n));
        if (!bytes)
            return "<unread " + QByteArray::number(i) + ">";
        hash.addData(QByteArray::number(i) + ':' + n->path(true).toLatin1() + ':' +
                     QByteArray::number(bytes->size()) + '\n');
        hash.addData(*bytes);
    }
    return hash.result().toHex();
}

QString writeMap(const QTemporaryDir &dir)
{
    const QString path = dir.filePath("generated.bsp");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || !PackageInputs::writeMap(f, 256 * 1024 + 3, 2500, 100))
        return QString();
    return path;
}

} // namespace

class TestGeneratedInputs : public QObject
{
    Q_OBJECT

private slots:
    void noOpFlush();
    void flushWithEdits();
    void vpkEntries();
};

void TestGeneratedInputs::noOpFlush()
{
    QTemporaryDir dir;
    const QString path = writeMap(dir);
    QVERIFY(!path.isEmpty());
    const QByteArray before = fileDigest(path);
    CDelegateBSP d;
    QVERIFY2(d.open(path, false), qPrintable(d.lastError()));
    QCOMPARE(d.pakfileEntries().size(), 2500);
    QCOMPARE(entriesDigest(d), QByteArray("a93ff3c186a1740bd31a63831210b7343b96cc2a"));
    QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
    QCOMPARE(fileDigest(path + ".backup"), before);
    QCOMPARE(fileDigest(path), QByteArray("d2ab322ba6f41b6c0ac9709bbd6302334d530695"));
    // What the delegate holds after the flush reads as the new file does.
    QCOMPARE(entriesDigest(d), QByteArray("a24841c3678458c25fff2ffa71001c56976c2799"));
}

void TestGeneratedInputs::flushWithEdits()
{
    QTemporaryDir dir;
    const QString path = writeMap(dir);
    const QString local = dir.filePath("local.bin");
    QFile l(local);
    QVERIFY(l.open(QIODevice::WriteOnly) && l.write(QByteArray(3000, 'L')) == 3000);
    l.close();
    CDelegateBSP d;
    QVERIFY(d.open(path, false));
    QVERIFY(d.setData(QByteArray("replaced"), false, d.findFile(PackageInputs::pakfileName(7))));
    QVERIFY(d.remove(d.findFile(PackageInputs::pakfileName(1200))));
    QVERIFY(d.addFile(QByteArray("added"), false, "scripts/new.txt"));
    QVERIFY(d.addFile(local.toLocal8Bit(), true, "scripts/local.bin"));
    QVERIFY(d.setData(QByteArray(40, 'e'), false, d.node(0)));
    QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
    QCOMPARE(fileDigest(path), QByteArray("afdba24f1d290fbd9d787e1d1ebf4279fa5faa35"));
    QCOMPARE(entriesDigest(d), QByteArray("e57d23755a86ccec2ae0b1b9babf058d40744b30"));
}

void TestGeneratedInputs::vpkEntries()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("pak01_dir.vpk");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(PackageInputs::vpkDirectory(3500)) > 0);
    f.close();
    CDelegateVPK d;
    QVERIFY2(d.open(path, true), qPrintable(d.lastError()));
    QCOMPARE(d.nodeCount(), 3500);
    QCOMPARE(entriesDigest(d), QByteArray("a2b97c99dc0a032b6b519888c14cb7329114c1ae"));
}

QTEST_GUILESS_MAIN(TestGeneratedInputs)
#include "tst_generatedinputs.moc"
