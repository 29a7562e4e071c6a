#include "CPackageHierarchyNode.h"
#include "FileRangeCopy.h"
#include "FlushSyncronizer.h"
#include "IPackageDelegate.h"
#include "LimitedDevice.h"
#include "PackageErrors.h"
#include "functions.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace E = PackageErrors;

// A package held in memory: entry i is stored[i] at paths[i]. Enough to test
// everything the base class does on its own.
class MemoryDelegate : public IPackageDelegate
{
public:
    using IPackageDelegate::sizeOnDisk;
    using IPackageDelegate::storedSize;
    using IPackageDelegate::writeStored;

    QStringList paths;
    QVector<QByteArray> stored;

    bool open(const QString &path, bool) override
    {
        if (path.isEmpty())
            return fail(E::InvalidFilePath);
        m_file.setFileName(path);
        return buildHierarchy();
    }
    void close() override {}
    bool flush(FlushSyncronizer *s) override
    {
        if (s)
            s->fail();
        return fail(E::NoFlushLogic);
    }
    bool hasFile(int index) const override { return index >= 0 && index < stored.size(); }
    int storedSize(int index) const override { return hasFile(index) ? stored[index].size() : 0; }
    int sizeOnDisk(int index) const override { return size(index) + (hasFile(index) ? 10 : 0); }
    bool writeStored(QIODevice *device, int index) override
    {
        if (!hasFile(index))
            return fail(E::IndexOutOfBounds);
        return device->write(stored[index]) == stored[index].size();
    }
    bool buildHierarchy() override
    {
        clearHierarchy();
        m_rootNode = new CPackageHierarchyNode();
        m_rootNode->setName("root");
        m_rootNode->makeFolder();
        m_rootNode->owner = this;
        for (const QString &p : qAsConst(paths)) {
            CPackageHierarchyNode *n = m_rootNode->createPath(splitPath(p), true);
            if (!n)
                return false;
            n->owner = this;
            n->entryIndex = m_nodes.size();
            m_nodes.append(n);
        }
        return true;
    }
};

class TestPackageDelegate : public QObject
{
    Q_OBJECT

    std::unique_ptr<MemoryDelegate> make()
    {
        auto d = std::make_unique<MemoryDelegate>();
        d->paths = QStringList{"materials/a.vmt", "materials/sub/b.vtf", "readme.txt"};
        d->stored = {QByteArray("aaaa"), QByteArray(100, 'b'), QByteArray("r")};
        d->open("memory", true);
        return d;
    }

private slots:
    void pathsAddressTheSameNode()
    {
        auto d = make();
        CPackageHierarchyNode *b = d->findNode("materials/sub/b.vtf");
        QVERIFY(b);
        QCOMPARE(d->findNode("\\MATERIALS\\Sub//B.VTF"), b);
        QCOMPARE(d->findNode("materials")->isFolder(), true);
        QVERIFY(!d->findFile("materials"));
        QVERIFY(!d->findNode(""));
        QVERIFY(!d->findNode("///"));
        QVERIFY(!d->findNode("readme.txt/x"));
        QCOMPARE(d->baseName(), QString("memory"));
        // What a delegate without its own answers says.
        QVERIFY(d->isReadOnly());
        QVERIFY(!d->isOpen());
        QCOMPARE(d->type(), 0);
    }

    void sizes()
    {
        auto d = make();
        QCOMPARE(d->size(1), 100);
        QCOMPARE(d->size("materials"), qint64(104));
        QCOMPARE(d->storedSize("materials/sub"), qint64(100));
        QCOMPARE(d->sizeOnDisk(d->root()), qint64(105 + 30));
        QCOMPARE(d->sizes(d->root()), qMakePair(qint64(105), qint64(135)));
        QCOMPARE(d->size(-1), 0);
        QCOMPARE(d->size(99), 0);

        // An empty path names nothing, not the root.
        QCOMPARE(d->storedSize(QString()), qint64(0));
        QCOMPARE(d->lastError(), QString(E::NullNode));
        QCOMPARE(d->sizes(nullptr), qMakePair(qint64(0), qint64(0)));

        // Pending data wins; a deletion mark changes nothing.
        CPackageHierarchyNode *a = d->node(0);
        QVERIFY(d->setData(QByteArray("12345678"), false, a));
        QCOMPARE(d->size(0), 8);
        QCOMPARE(d->storedSize(0), 4);
        QVERIFY(d->remove(a));
        QCOMPARE(d->size(0), 8);
    }

    void folderTotalsAre64Bit()
    {
        MemoryDelegate d;
        d.paths = QStringList{"big/a", "big/b", "big/c"};
        d.stored = {QByteArray(), QByteArray(), QByteArray()};
        d.open("x", true);
        // Pending references report the size taken when set; fake a large one.
        for (int i = 0; i < 3; ++i) {
            d.node(i)->setPendingData("missing-file", true);
            d.node(i)->referencedSize = 0x7fff0000;
        }
        QCOMPARE(d.size("big"), qint64(3) * 0x7fff0000);
    }

    void referenceKeepsSizeFromWhenSet()
    {
        QTemporaryDir dir;
        const QString local = dir.filePath("local.bin");
        {
            QFile f(local);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(12, 'x'));
        }
        auto d = make();
        QVERIFY(d->setData(local.toLocal8Bit() + '\0', true, d->node(2)));
        {
            QFile f(local);
            QVERIFY(f.open(QIODevice::Append));
            f.write(QByteArray(5, 'y'));
        }
        QCOMPARE(d->size(2), 12);
        std::unique_ptr<QByteArray> bytes(d->readCurrent(2));
        QVERIFY(bytes);
        QCOMPARE(*bytes, QByteArray(12, 'x') + QByteArray(5, 'y'));

        QFile::remove(local);
        QVERIFY(!d->readCurrent(2));
        QCOMPARE(d->lastError(), QString(E::ReferencedFileOpen));
    }

    void writeCurrentChecks_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("node");
        QTest::addColumn<QString>("error");
        // device: 0 null, 1 closed, 2 read-only, 3 writable
        // node: 0 null, 1 foreign, 2 folder
        QTest::newRow("null device before null node") << 0 << 0 << QString(E::DeviceInvalid);
        QTest::newRow("closed device") << 1 << 2 << QString(E::DeviceNotOpen);
        QTest::newRow("read-only device") << 2 << 2 << QString(E::DeviceNotWritable);
        QTest::newRow("null node") << 3 << 0 << QString(E::NullNode);
        QTest::newRow("foreign node") << 3 << 1 << QString(E::NotOwner);
        QTest::newRow("folder") << 3 << 2 << QString(E::NodeNotLeaf);
    }

    void writeCurrentChecks()
    {
        QFETCH(int, device);
        QFETCH(int, node);
        QFETCH(QString, error);
        auto d = make();
        auto other = make();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        if (device == 2)
            buffer.open(QIODevice::ReadOnly);
        if (device == 3)
            buffer.open(QIODevice::WriteOnly);
        // Folders made on the way have no owner; the root has one.
        CPackageHierarchyNode *n = node == 0 ? nullptr : node == 1 ? other->node(0) : d->root();
        QVERIFY(!d->writeCurrent(device == 0 ? nullptr : &buffer, n));
        QCOMPARE(d->lastError(), error);
    }

    void shortWriteSaysWhy_data()
    {
        QTest::addColumn<qint64>("room");
        QTest::newRow("some room") << qint64(2);
        QTest::newRow("no room") << qint64(0);
    }

    void shortWriteSaysWhy()
    {
        QFETCH(qint64, room);
        auto d = make();
        QVERIFY(d->setData(QByteArray("staged"), false, d->node(2)));
        LimitedDevice disk(room);
        QVERIFY(!d->writeCurrent(&disk, d->node(2)));
        QCOMPARE(d->lastError(), QString("Write Error: Unable to write %1 of 6 bytes (No space "
                                         "left on device)")
                                     .arg(6 - room));
    }

    void rename_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("renamed");
        QTest::addColumn<QString>("error");
        // A null new path: refused with the error.
        const auto row = [](const char *name, const char *path, const QString &to,
                            const char *renamed, const QString &error = {}) {
            QTest::newRow(name) << QString(path) << to << QString(renamed) << error;
        };
        row("file", "readme.txt", "notes.txt", "notes.txt");
        row("case only", "readme.txt", "README.TXT", "README.TXT");
        row("folder", "materials/sub", "other", "materials/other");
        row("blank inside", "readme.txt", "my notes.txt", "my notes.txt");
        row("taken", "materials/sub", "A.VMT", nullptr,
            E::unableToRename("materials/sub", "A.VMT"));
        for (const QString name : {"a/b.txt", "", "..", ".", " a.txt", "a\\b.txt"})
            row(qPrintable("invalid: " + name), "readme.txt", name, nullptr, E::invalidName(name));
    }

    void rename()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, renamed);
        QFETCH(QString, error);
        auto d = make();
        CPackageHierarchyNode *n = d->findNode(path);
        QCOMPARE(d->rename(n, name), !renamed.isNull());
        if (renamed.isNull()) {
            QCOMPARE(d->lastError(), error);
            QCOMPARE(n->path(true), path);
        } else {
            QCOMPARE(n->path(true), renamed);
            QCOMPARE(d->findNode(renamed), n);
        }
        QVERIFY(!d->rename(d->root(), "top"));
        auto other = make();
        QVERIFY(!d->rename(other->findNode("materials"), "x"));
        QCOMPARE(d->lastError(), QString(E::NotOwner));
    }

    // A name that could climb out of a folder or means other than typed is
    // refused and nothing is staged; others go in as given.
    void addFileChecksTheName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("accepted");
        for (const char *bad :
             {"../x.cfg", "materials/../../evil.cfg", "a/./b.vmt", "a\\b.vmt", " a.vmt", "a.vmt ",
              "a /c.vmt", "C:/x.vmt", "/abs.vmt", "\\\\x.vmt", "x\x01.vmt", "x\x7f.vmt", "a//b.vmt",
              "materials/", "", "..", "a\tb.vmt"})
            QTest::newRow(qPrintable("refused " + QString(bad))) << QString(bad) << false;
        for (const char *good : {"materials/brick/wall01.vmt", "materials/a .vmt",
                                 "materials/my brick/wall 01.vmt", "n\xe9\x65.txt", "x..y.vmt"})
            QTest::newRow(qPrintable("accepted " + QString(good)))
                << QString::fromLatin1(good) << true;
    }

    void addFileChecksTheName()
    {
        QFETCH(QString, path);
        QFETCH(bool, accepted);
        auto d = make();
        const int nodes = d->nodeCount();
        const int descendants = d->root()->descendantCount();
        CPackageHierarchyNode *n = d->addFile(QByteArray("data"), false, path);
        QBuffer device;
        device.setData("data");
        device.open(QIODevice::ReadOnly);
        CPackageHierarchyNode *fromDevice = d->addFile(&device, path);
        QCOMPARE(n != nullptr, accepted);
        QCOMPARE(fromDevice, n);
        if (accepted) {
            QCOMPARE(n->path(true), path);
            return;
        }
        QCOMPARE(d->lastError(), E::invalidName(path));
        QCOMPARE(d->nodeCount(), nodes);
        QCOMPARE(d->root()->descendantCount(), descendants);
    }

    void readStoredAndCurrent()
    {
        auto d = make();
        std::unique_ptr<QByteArray> stored(d->readStored(0));
        QCOMPARE(*stored, QByteArray("aaaa"));
        QVERIFY(!d->readStored(7));
        QCOMPARE(d->lastError(), QString(E::IndexOutOfBounds));
        QVERIFY(!d->readStored(static_cast<CPackageHierarchyNode *>(nullptr)));
        d->setData(QByteArray("new"), false, d->node(0));
        std::unique_ptr<QByteArray> current(d->readCurrent("MATERIALS/A.VMT"));
        QCOMPARE(*current, QByteArray("new"));
        stored.reset(d->readStored(d->node(0)));
        QCOMPARE(*stored, QByteArray("aaaa"));
    }

    void setDataFromDevice()
    {
        auto d = make();
        QByteArray source("0123456789");
        QBuffer buffer(&source);
        QVERIFY(!d->setData(&buffer, d->node(0)));
        QCOMPARE(d->lastError(), QString(E::DeviceNotOpen));
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(!d->setData(&buffer, d->node(0)));
        QCOMPARE(d->lastError(), QString(E::DeviceNotReadable));
        buffer.close();
        buffer.open(QIODevice::ReadOnly);
        buffer.seek(4);
        QVERIFY(d->setData(&buffer, d->node(0)));
        QCOMPARE(*d->node(0)->pendingData, QByteArray("456789"));
        buffer.seek(8);
        QVERIFY(!d->setData(&buffer, d->node(0), 5));
        QCOMPARE(d->lastError(), QString(E::ReadIncomplete));
        QVERIFY(!d->setData(nullptr, d->node(0)));
        QVERIFY(!d->setData(&buffer, nullptr));
        QCOMPARE(d->lastError(), QString(E::NullNode));
    }

    void removeRevertUndelete()
    {
        auto d = make();
        CPackageHierarchyNode *added = d->addFile(QByteArray("added"), false, "new/file.txt");
        QVERIFY(added);
        QCOMPARE(added->entryIndex, 3);
        QCOMPARE(d->nodeCount(), 4);
        // Nothing stored: revert refuses and keeps the data.
        QVERIFY(!d->revert(added));
        QVERIFY(added->pendingData);

        // Stored entries are only marked.
        QVERIFY(d->remove("readme.txt"));
        QVERIFY(d->node(2)->deleted);
        QVERIFY(d->undelete("README.TXT"));
        QVERIFY(!d->node(2)->deleted);

        // New data clears a deletion mark: a flush must not drop it.
        d->remove(d->node(2));
        QVERIFY(d->setData(QByteArray("keep"), false, d->node(2)));
        QVERIFY(!d->node(2)->deleted);
        QVERIFY(d->revert("readme.txt"));
        QVERIFY(!d->node(2)->pendingData);

        // In-memory files go at once; the table keeps its size.
        QVERIFY(!d->remove(added));
        QVERIFY(!d->node(3));
        QCOMPARE(d->nodeCount(), 4);
        QVERIFY(!d->findNode("new/file.txt"));

        // A folder made on the way has no owner and cannot be removed; an
        // owned one goes with everything below it.
        CPackageHierarchyNode *materials = d->findNode("materials");
        QVERIFY(!d->remove(materials));
        QCOMPARE(d->lastError(), QString(E::NotOwner));
        QVERIFY(d->node(0));
        materials->owner = d.get();
        QVERIFY(!d->remove(materials));
        QVERIFY(!d->node(0) && !d->node(1));
        QCOMPARE(d->root()->counts(), qMakePair(1, 1));
        QVERIFY(!d->hasNode(0));

        // The root stays.
        QVERIFY(!d->remove(d->root()));
        QCOMPARE(d->lastError(), QString(E::RootNotRemovable));
        QVERIFY(d->root());
    }

    void addFile()
    {
        auto d = make();
        // An existing stored entry keeps its index and only stages bytes.
        CPackageHierarchyNode *same = d->addFile(QByteArray("x"), false, "Materials/A.vmt");
        QCOMPARE(same, d->node(0));
        QCOMPARE(d->nodeCount(), 3);

        QVERIFY(!d->addFile(QByteArray("x"), false, "readme.txt/inner"));
        QCOMPARE(d->lastError(), QString("Delegate Error: Unable to create leaf at "
                                         "\"readme.txt/inner\""));
        QVERIFY(!d->addFile(QByteArray("x"), false, ""));
        QCOMPARE(d->lastError(), E::invalidName(""));
        QVERIFY(!d->addFile(QByteArray("x"), false, "materials"));

        QByteArray source("abcdef");
        QBuffer buffer(&source);
        buffer.open(QIODevice::ReadOnly);
        CPackageHierarchyNode *n = d->addFile(&buffer, "dev/x.bin", 4);
        QVERIFY(n);
        QCOMPARE(*n->pendingData, QByteArray("abcd"));
        QCOMPARE(n->owner, d.get());
        QCOMPARE(d->findNode("dev")->owner, nullptr); // folders made on the way
        QVERIFY(!d->addFile(&buffer, "dev/y.bin", 4));
        QCOMPARE(d->lastError(), QString(E::ReadIncomplete));
    }

    // A range of a file copied in large pieces (inside the kernel when the
    // target is a file) gives the bytes, and the failure texts with the
    // counts, of the copy in 1 KiB steps.
    void fileRangeCopyMatchesCopyDevice_data()
    {
        QTest::addColumn<bool>("fileTarget");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("targetLimit"); // -1: none
        for (const bool file : {true, false}) {
            const QByteArray kind = file ? "file: " : "buffer: ";
            QTest::newRow(kind + "inside") << file << qint64(7) << qint64(2500000) << qint64(-1);
            QTest::newRow(kind + "nothing") << file << qint64(9) << qint64(0) << qint64(-1);
            QTest::newRow(kind + "past the end")
                << file << qint64(2999000) << qint64(2000) << qint64(-1);
        }
        QTest::newRow("full target") << false << qint64(0) << qint64(2500) << qint64(1500);
    }
    void fileRangeCopyMatchesCopyDevice()
    {
        QFETCH(bool, fileTarget);
        QFETCH(qint64, start);
        QFETCH(qint64, length);
        QFETCH(qint64, targetLimit);
        QTemporaryDir dir;
        QByteArray bytes(3000000, Qt::Uninitialized);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 13 + (i >> 10));
        QFile source(dir.filePath("source.bin"));
        QVERIFY(source.open(QIODevice::ReadWrite) && source.write(bytes) == bytes.size());

        auto target = [&](const QString &name) -> std::unique_ptr<QIODevice> {
            if (targetLimit >= 0)
                return std::make_unique<LimitedDevice>(targetLimit);
            if (!fileTarget) {
                auto buffer = std::make_unique<QBuffer>();
                buffer->open(QIODevice::WriteOnly);
                return buffer;
            }
            auto file = std::make_unique<QFile>(dir.filePath(name));
            file->open(QIODevice::ReadWrite);
            file->write("head");
            return file;
        };
        const auto contents = [](QIODevice *d) {
            if (auto *b = qobject_cast<QBuffer *>(d))
                return b->data();
            if (auto *l = dynamic_cast<LimitedDevice *>(d))
                return l->m_written;
            d->seek(0);
            return d->readAll();
        };
        std::unique_ptr<QIODevice> fast = target("fast.bin");
        std::unique_ptr<QIODevice> slow = target("slow.bin");
        QString fastError;
        QString slowError;
        const bool fastDone = FileRangeCopy::copy(source, start, length, fast.get(), &fastError);
        QVERIFY(source.seek(start));
        const bool slowDone = ::copyDevice(&source, slow.get(), length, &slowError);
        QCOMPARE(fastDone, slowDone);
        QCOMPARE(fastError, slowError);
        if (slowDone) {
            QCOMPARE(fast->pos(), slow->pos());
            QCOMPARE(contents(fast.get()), contents(slow.get()));
        }
        QByteArray read;
        QString readError;
        const bool readable = start + length <= bytes.size();
        QCOMPARE(FileRangeCopy::read(source, start, length, read, &readError), readable);
        if (readable)
            QCOMPARE(read, bytes.mid(int(start), int(length)));
        else
            QCOMPARE(readError, slowError);
    }
};

QTEST_GUILESS_MAIN(TestPackageDelegate)
#include "tst_packagedelegate.moc"
