#include "CDirectoryListings.h"
#include "CPath.h"
#include "FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestPath : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void reparseKeepsOrClearsParts();
    void extensionEdits();
    void resolve_data();
    void resolve();
    void resolveWithAbsoluteAndRelativeBase();
    void listingsReadEachFolderOnce();
    void unreadableNamesAreSkipped();

private:
    QTemporaryDir m_tree;
    bool makeFile(const QString &relative);
};

void TestPath::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isFile");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("lastExtension");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("nameWithExtension");

    // Row name, text, file flag, then the parts in column order.
    struct Row
    {
        const char *name, *text;
        bool isFile;
        const char *directory, *baseName, *extension, *last, *full, *nameWithExtension;
    };
    static const Row rows[] = {
        {"windows file", "D:\\Games\\hl2\\materials\\Brick.VMT", true, "D:/Games/hl2/materials",
         "Brick", "VMT", "VMT", "D:/Games/hl2/materials/Brick.VMT", "Brick.VMT"},
        {"mixed separators", "maps//test\\|sub/", false, "maps/test/sub", "", "", "",
         "maps/test/sub", ""},
        {"pipe is a separator", "a\\\\b//c|d", false, "a/b/c/d", "", "", "", "a/b/c/d", ""},
        {"lone slash", "/", true, "/", "", "", "", "/", ""},
        {"directory with file flag", "dir/", true, "dir", "", "", "", "dir", ""},
        {"hidden", ".hidden", true, "", ".hidden", "", "", ".hidden", ".hidden."},
        {"hidden with extension", ".hidden.txt", true, "", ".hidden", "txt", "txt", ".hidden.txt",
         ".hidden.txt"},
        {"double extension", "archive.tar.gz", true, "", "archive", "tar.gz", "gz",
         "archive.tar.gz", "archive.tar.gz"},
        {"trailing dot", "name.", true, "", "name", "", "", "name", "name."},
        {"file at root", "/file.txt", true, "", "file", "txt", "txt", "file.txt", "file.txt"},
        {"absolute unix", "/home/u/model.dx90.vtx", true, "/home/u", "model", "dx90.vtx", "vtx",
         "/home/u/model.dx90.vtx", "model.dx90.vtx"},
        {"empty", "", true, "", "", "", "", "", ""},
        {"folder without file flag", "a/b.c", false, "a/b.c", "", "", "", "a/b.c", ""}};
    for (const Row &r : rows) {
        QTest::newRow(r.name) << QString(r.text) << r.isFile << QString(r.directory)
                              << QString(r.baseName) << QString(r.extension) << QString(r.last)
                              << QString(r.full) << QString(r.nameWithExtension);
    }
}

void TestPath::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, isFile);
    const CPath path(text, isFile);
    QTEST(path.m_directory, "directory");
    QTEST(path.m_baseName, "baseName");
    QTEST(path.m_extension, "extension");
    QTEST(path.m_lastExtension, "lastExtension");
    QTEST(path.toString(), "full");
    QTEST(path.fileName(true), "nameWithExtension");
    QCOMPARE(path.fileName(false), path.m_baseName);
    QFETCH(QString, directory);
    QCOMPARE(path.directory(false), directory);
    QCOMPARE(path.directory(true),
             directory.isEmpty() || directory == "/" ? directory : directory + "/");
}

void TestPath::reparseKeepsOrClearsParts()
{
    CPath path(QStringLiteral("dir/file.tar.gz"), true);
    // A folder-only text leaves the file name alone.
    path.setPath(QStringLiteral("other/"), true);
    QCOMPARE(path.toString(), QStringLiteral("other/file.tar.gz"));
    path.setPath(QStringLiteral("third"), false);
    QCOMPARE(path.toString(), QStringLiteral("third/file.tar.gz"));
    // A new name without "." must not inherit the old extension.
    path.setPath(QStringLiteral("x/README"), true);
    QCOMPARE(path.toString(), QStringLiteral("x/README"));
    QVERIFY(path.m_extension.isEmpty());
    QVERIFY(path.m_lastExtension.isEmpty());
    // A bare file name keeps the directory.
    path.setPath(QStringLiteral("b.vmt"), true);
    QCOMPARE(path.toString(), QStringLiteral("x/b.vmt"));
}

void TestPath::extensionEdits()
{
    CPath noName;
    noName.setExtension(QStringLiteral("vtf"));
    QVERIFY(noName.isEmpty());

    CPath path(QStringLiteral("archive.tar.gz"), true);
    path.setLastExtension(QStringLiteral("bz2"));
    QCOMPARE(path.m_extension, QStringLiteral("tar.bz2"));
    QCOMPARE(path.m_lastExtension, QStringLiteral("bz2"));
    path.setExtension(QStringLiteral("vmt"));
    QCOMPARE(path.m_lastExtension, QStringLiteral("vmt"));
    path.setLastExtension(QStringLiteral("vtf"));
    QCOMPARE(path.toString(), QStringLiteral("archive.vtf"));

    path.setFileName(QStringLiteral("some\\dir/x.y"));
    QCOMPARE(path.fileName(true), QStringLiteral("x.y"));
}

bool TestPath::makeFile(const QString &relative)
{
    const QString full = m_tree.filePath(relative);
    if (!QDir().mkpath(QFileInfo(full).absolutePath()))
        return false;
    QFile file(full);
    return file.open(QIODevice::WriteOnly);
}

void TestPath::resolve_data()
{
    QVERIFY(m_tree.isValid());
    QVERIFY(makeFile("materials/Brick.vmt"));
    QVERIFY(makeFile("materials/README"));
    QVERIFY(makeFile("Models/a.mdl"));
    QVERIFY(makeFile("models/A.mdl"));
    QVERIFY(makeFile("models/a.mdl"));
    QVERIFY(makeFile("models/b.MDL"));
    QVERIFY(makeFile("Sound/x.wav"));
    QVERIFY(makeFile("SOUND/y.wav"));
    QVERIFY(QDir().mkpath(m_tree.filePath("materials/folder.vmt")));

    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    // An empty result: nothing resolves.
    static const char *const rows[][3] = {
        {"case found", "MATERIALS/brick.vmt", "materials/Brick.vmt"},
        {"backslashes", "materials\\BRICK.VMT", "materials/Brick.vmt"},
        {"leading slash", "/materials/brick.vmt", "materials/Brick.vmt"},
        {"no extension", "Materials/readme", "materials/README"},
        {"missing folder", "textures/brick.vmt", ""},
        {"missing file", "materials/stone.vmt", ""},
        {"exact case wins folder", "models/b.mdl", "models/b.MDL"},
        {"exact case wins file", "models/A.mdl", "models/A.mdl"},
        {"exact case wins other file", "models/a.mdl", "models/a.mdl"},
        {"ambiguous file", "models/a.MDL", ""},
        {"exact folder Models", "Models/a.MDL", "Models/a.mdl"},
        {"ambiguous without exact", "sound/x.wav", ""},
        {"ambiguous exact", "Sound/X.WAV", "Sound/x.wav"},
        {"file level is a folder", "materials/FOLDER.vmt", ""},
        {"parent level", "materials/../materials/brick.vmt", ""},
        {"folder only", "MATERIALS/", "materials"},
        {"ambiguous folder", "MODELS/", ""}};
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]);
}

void TestPath::resolve()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    const bool isFile = !path.endsWith('/');
    const CPath resolved = CPath(path, isFile).resolve(m_tree.path());
    QCOMPARE(resolved.toString(), expected);
    if (expected.isEmpty())
        QVERIFY(resolved.isEmpty());
    else
        QVERIFY(resolved.m_baseName.isEmpty());

    // Through listings, fresh and already read: the same answer.
    CDirectoryListings listings;
    QCOMPARE(CPath(path, isFile).resolve(m_tree.path(), false, listings), resolved);
    QCOMPARE(CPath(path, isFile).resolve(m_tree.path(), false, listings), resolved);
    const QString absolute = CPath(path, isFile).resolve(m_tree.path(), true).toString();
    QCOMPARE(CPath(path, isFile).resolve(m_tree.path(), true, listings).toString(), absolute);
}

void TestPath::resolveWithAbsoluteAndRelativeBase()
{
    QVERIFY(makeFile("materials/Brick.vmt"));
    const CPath file(QStringLiteral("materials/brick.VMT"), true);

    const QString absoluteBase = QDir(m_tree.path()).absolutePath();
    QCOMPARE(file.resolve(m_tree.path(), true).toString(),
             absoluteBase + QStringLiteral("/materials/Brick.vmt"));

    // A relative base is taken from the current directory.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QFileInfo(absoluteBase).absolutePath()));
    const QString relativeBase = QFileInfo(absoluteBase).fileName();
    const QString relative = file.resolve(relativeBase).toString();
    const QString fromEmpty = CPath(relativeBase + QStringLiteral("/MATERIALS/brick.vmt"), true)
                                  .resolve(QString())
                                  .toString();
    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(relative, QStringLiteral("materials/Brick.vmt"));
    QCOMPARE(fromEmpty, relativeBase + QStringLiteral("/materials/Brick.vmt"));

    // A base that does not exist, or names a file, resolves nothing.
    QVERIFY(file.resolve(m_tree.filePath("nowhere")).isEmpty());
    QVERIFY(file.resolve(m_tree.filePath("materials/Brick.vmt")).isEmpty());
}

void TestPath::listingsReadEachFolderOnce()
{
    QTemporaryDir tree;
    const QStringList files{"materials/Brick/Wall.vmt", "materials/Brick/Floor.vmt",
                            "materials/Metal/Plate.vmt", "models/Crate.mdl"};
    for (const QString &file : files)
        QVERIFY(writeFile(tree.filePath(file), QByteArray()));
    CDirectoryListings listings;
    for (bool upper : {false, true}) {
        for (const QString &file : files) {
            const QString asked = upper ? file.toUpper() : file.toLower();
            QCOMPARE(CPath(asked, true).resolve(tree.path(), false, listings).toString(), file);
        }
        QVERIFY(CPath("materials/brick/missing.vmt", true)
                    .resolve(tree.path(), false, listings)
                    .isEmpty());
    }
    // The base, materials, materials/Brick, materials/Metal and models.
    QCOMPARE(listings.listingCount(), 5);

    // Listings belong to one batch: a file made later is not in them.
    QVERIFY(writeFile(tree.filePath("models/Late.mdl"), QByteArray()));
    QVERIFY(CPath("models/late.mdl", true).resolve(tree.path(), false, listings).isEmpty());
    QCOMPARE(CPath("models/late.mdl", true).resolve(tree.path()).toString(),
             QStringLiteral("models/Late.mdl"));
}

void TestPath::unreadableNamesAreSkipped()
{
    if (::geteuid() == 0)
        QSKIP("root reads every file");
    QTemporaryDir tree;
    for (const char *name : {"Locked.vmt", "open.VMT", "open.vmt"})
        QVERIFY(writeFile(tree.filePath(name), QByteArray()));
    QVERIFY(QFile::setPermissions(tree.filePath("Locked.vmt"), QFileDevice::WriteOwner));
    QVERIFY(QFile::setPermissions(tree.filePath("open.VMT"), QFileDevice::WriteOwner));
    CDirectoryListings listings;
    // Not found, and no rival to a readable name differing only in case.
    for (CDirectoryListings *cache : {static_cast<CDirectoryListings *>(nullptr), &listings}) {
        const auto resolve = [&](const char *path) {
            const CPath p(QString::fromLatin1(path), true);
            return (cache ? p.resolve(tree.path(), false, *cache) : p.resolve(tree.path()))
                .toString();
        };
        QCOMPARE(resolve("locked.vmt"), QString());
        QCOMPARE(resolve("Locked.vmt"), QString());
        QCOMPARE(resolve("OPEN.vmt"), QStringLiteral("open.vmt"));
    }
}

QTEST_GUILESS_MAIN(TestPath)
#include "tst_path.moc"
