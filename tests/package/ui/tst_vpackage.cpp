#include "CDesktopFile.h"
#include "CFileIconCache.h"
#include "CFileVTF.h"
#include "CPackageHierarchyNode.h"
#include "CPackageProperties.h"
#include "CPath.h"
#include "CPrompt.h"
#include "CacheFixture.h"
#include "IPackageDelegate.h"
#include "MapBuilder.h"
#include "PackageErrors.h"
#include "PrivateDesktop.h"
#include "PromptScript.h"
#include "QDelayedMimeData.h"
#include "QProgressDialogger.h"
#include "QSearchDialog.h"
#include "ScriptedMainWindow.h"
#include "VPackage.h"
#include "VPackageIcons.h"
#include "VPackagePropertiesDialog.h"
#include "VPackageTableModel.h"
#include "VPackageTableWidget.h"
#include "VTFFixture.h"
#include "VpkFixture.h"
#include "WarningCapture.h"
#include "initResources.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <memory>

namespace {

// The main window's services as a tool sees them, recording what the viewer
// asks for.
class FakeMainWindow : public ScriptedMainWindow
{
    Q_OBJECT

public:
    QString getOpenFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return openAnswer;
    }
    QString getExistingDirectory(QWidget *, const QString &, const QString &) override
    {
        return directoryAnswer;
    }
    void registerTemporaryFile(const QString &file) override { temporaryFiles << file; }
    CFileIconCache *iconCache() override { return &cache; }

    QString openAnswer;
    QString directoryAnswer;
    QStringList temporaryFiles;
    QStringList packagesOpened;
    QStringList materials;
    QByteArray materialBytes;
    int textures = 0;
    CFileIconCache cache;

public slots:
    void showVPackage(const QString &path) { packagesOpened << path; }
    void showVVMT(const QByteArray &bytes, const QString &name)
    {
        materials << name;
        materialBytes = bytes;
    }
    void showVVTF(CFileVTF *vtf)
    {
        ++textures;
        delete vtf;
    }
};

// docs/readme.txt, docs/sub/deep.txt, materials/brick.vmt, top.bin
QByteArray standardVpk()
{
    VpkTree t;
    t.ext("txt")
        .path("docs")
        .file("readme", VpkTree::InDirectory, 0, 11)
        .path("docs/sub")
        .file("deep", VpkTree::InDirectory, 11, 4);
    t.ext("vmt").path("materials").file("brick", VpkTree::InDirectory, 15, 9);
    t.ext("bin").path(" ").file("top", VpkTree::InDirectory, 24, 3, "pre");
    return VpkFixture::directory(1, t.finish(), "hello worlddeepshader{}!abc");
}

QString writeTemp(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    return VpkFixture::writeFile(path, bytes) ? path : QString();
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList tableColumn(const QTableView *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        texts << table->model()->index(row, column).data().toString();
    return texts;
}

int treeRows(VPackage &viewer)
{
    return viewer.tree()->model()->rowCount();
}

// Rows the tree shows below an index, at every level (whether expanded or
// not).
int rowsBelow(const QAbstractItemModel *model, const QModelIndex &parent)
{
    int rows = 0;
    for (int row = 0; row < model->rowCount(parent); ++row)
        rows += 1 + rowsBelow(model, model->index(row, 0, parent));
    return rows;
}

QAction *action(VPackage &viewer, const char *name)
{
    return viewer.findChild<QAction *>(name);
}

QString pathText(VPackage &viewer)
{
    return viewer.findChild<QLineEdit *>("pathField")->text();
}

} // namespace

class TestVPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensEveryKind_data();
    void opensEveryKind();
    void refusesWhatItCannotOpen();
    void delayedMimeData();
    void secondPackageOpensElsewhere();
    void navigatesWithHistory();
    void doubleClicks();
    void searches_data();
    void searches();
    void showsProperties();
    void extractsFilesAndFolders();
    void refusesHostileNames();
    void cancelStopsExtraction();
    void opensEntriesElsewhere();
    void mapEntriesThatCannotBeRead();
    void handlesLargeArchives();
    void iconExtensions_data();
    void iconExtensions();
};

void TestVPackage::initTestCase()
{
    initResources();
}

void TestVPackage::opensEveryKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rootNames");
    QTest::addColumn<QStringList>("rootSizes");

    QTest::newRow("vpk") << "pak01_dir.vpk" << standardVpk()
                         << QStringList{"docs", "materials", "top.bin"}
                         << QStringList{"2 Item(s)", "1 Item(s)", "6"};

    CacheFixture cache;
    cache.items.append(CacheItem::folder("", CacheFixture::NoParent));
    cache.items.append(CacheItem::folder("maps", 0));
    cache.items.append(CacheItem::file("a.bsp", 1, QByteArray(20, 'a'), {3, 4}));
    cache.items.append(CacheItem::file("b.txt", 0, "bee", {7}));
    QTest::newRow("gcf") << "x.GCF" << cache.build().bytes << QStringList{"maps", "b.txt"}
                         << QStringList{"1 Item(s)", "3"};
    cache.gcf = false;
    QTest::newRow("ncf") << "x.ncf" << cache.build().bytes << QStringList{"maps", "b.txt"}
                         << QStringList{"1 Item(s)", "3"};

    ZipFixture zip;
    zip.add("materials/x.vmt", "shader {}");
    MapFixture map;
    map.lumps[40] = zip.build();
    QTest::newRow("bsp") << "cp_x_b1.1.BSP" << map.build() << QStringList() << QStringList();
}

void TestVPackage::opensEveryKind()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rootNames);
    QFETCH(QStringList, rootSizes);
    QTemporaryDir dir;
    PromptScript prompts;
    VPackage viewer(writeTemp(dir, name, bytes));
    QCOMPARE(prompts.count(CPrompt::Kind::Warning), 0);
    QVERIFY(viewer.delegate());
    QCOMPARE(viewer.windowTitle(), viewer.delegate()->baseName());
    QVERIFY(viewer.tree()->isEnabled());
    QVERIFY(viewer.table()->isEnabled());
    QVERIFY(action(viewer, "actionSearch")->isEnabled());
    QVERIFY(!action(viewer, "actionUp")->isEnabled());
    QCOMPARE(treeRows(viewer), 1);
    const QModelIndex rootIndex = viewer.tree()->model()->index(0, 0);
    QCOMPARE(viewer.tree()->currentIndex(), rootIndex);
    QCOMPARE(rootIndex.data().toString(), QString("root"));
    QVERIFY(viewer.tree()->isExpanded(rootIndex));
    QCOMPARE(pathText(viewer), QString("..."));

    // Every node has its row in the tree, files included.
    const CPackageHierarchyNode *root = viewer.delegate()->root();
    QCOMPARE(viewer.table()->model()->rowCount(), root->childCount());
    for (int i = 0; i < root->childCount(); ++i)
        QCOMPARE(tableColumn(viewer.table(), 0)[i], root->child(unsigned(i))->name());
    if (!rootNames.isEmpty()) {
        QCOMPARE(tableColumn(viewer.table(), 0), rootNames);
        QCOMPARE(tableColumn(viewer.table(), 1), rootSizes);
    }
    QCOMPARE(rowsBelow(viewer.tree()->model(), QModelIndex()), root->descendantCount() + 1);
}

void TestVPackage::refusesWhatItCannotOpen()
{
    QTemporaryDir dir;
    PromptScript prompts;
    VPackage other(writeTemp(dir, "x.vpk.tar", standardVpk()));
    QCOMPARE(prompts.count(CPrompt::Kind::Warning), 1);
    QVERIFY(prompts.asked[0].text.contains("x.vpk.tar"));
    QVERIFY(!other.delegate());
    QVERIFY(!other.tree()->isEnabled());
    QVERIFY(!other.table()->isEnabled());
    QVERIFY(!action(other, "actionSearch")->isEnabled());
    QCOMPARE(pathText(other), QString("..."));

    // A damaged package: the delegate's message, and an empty window.
    VPackage broken(writeTemp(dir, "bad_dir.vpk", VpkFixture::directory(3, QByteArray(1, '\0'))));
    QCOMPARE(prompts.count(CPrompt::Kind::Warning), 2);
    QCOMPARE(prompts.asked.last().text, QString("Delegate Error: File format too new"));
    QCOMPARE(prompts.asked.last().title, QString("Package Viewer"));
    QCOMPARE(treeRows(broken), 0);

    // The footer length of a version-2 directory is a notice, then the
    // package shows.
    VPackage v2(
        writeTemp(dir, "v2_dir.vpk", VpkFixture::directory(2, QByteArray(1, '\0'), {}, 77)));
    QCOMPARE(prompts.count(CPrompt::Kind::Information), 1);
    QCOMPARE(prompts.asked.last().title, QString("Footer Length"));
    QCOMPARE(prompts.asked.last().text, QString("77"));
    QVERIFY(v2.tree()->isEnabled());

    // A directory cut short shows what was read and says what went wrong.
    VpkTree cut;
    cut.ext("txt").path("a").file("first", 0, 0, 5).raw(QByteArray("second\0\x01\x02", 9));
    VPackage partial(writeTemp(dir, "cut_dir.vpk", VpkFixture::directory(1, cut.finish())));
    QCOMPARE(prompts.count(CPrompt::Kind::Warning), 3);
    QCOMPARE(prompts.asked.last().text, QString("Read Error: Incomplete read"));
    QVERIFY(partial.indexForNode(partial.delegate()->findFile("a/first.txt")).isValid());

    // A numbered archive holds only file data: it is refused by name, with
    // the file to open instead, and no tree of its bytes stands beside that.
    VPackage archive(writeTemp(dir, "pak01_007.vpk", QByteArray("\x01\x02text\0\x05more\0", 14)));
    QCOMPARE(prompts.count(CPrompt::Kind::Warning), 4);
    QCOMPARE(prompts.asked.last().text,
             QString("File Error: \"pak01_007.vpk\" is a data archive; open its directory file "
                     "\"pak01_dir.vpk\""));
    QCOMPARE(treeRows(archive), 0);
    QVERIFY(!archive.tree()->isEnabled());
}

void TestVPackage::delayedMimeData()
{
    QDelayedMimeData data;
    data.setText("x");
    data.delayedFormats << "application/x-entry";
    QCOMPARE(data.formats(), QStringList({"text/plain", "application/x-entry"}));
    QStringList requested;
    connect(&data, &QDelayedMimeData::dataRequested, this,
            [&](QDelayedMimeData *source, const QString &type) {
                QCOMPARE(source, &data);
                requested << type;
                source->setData(type, "filled");
            });
    QCOMPARE(data.data("application/x-entry"), QByteArray("filled"));
    QCOMPARE(requested, QStringList{"application/x-entry"});
}

void TestVPackage::secondPackageOpensElsewhere()
{
    QTemporaryDir dir;
    FakeMainWindow main;
    PromptScript prompts;
    const QString first = writeTemp(dir, "a_dir.vpk", standardVpk());
    const QString second = writeTemp(dir, "b_dir.vpk", standardVpk());
    VPackage viewer(first);
    main.openAnswer = second;
    action(viewer, "actionOpen")->trigger();
    QCOMPARE(main.packagesOpened, QStringList{second});
    QCOMPARE(viewer.delegate()->fileName(), first);
    // A file of no package kind is refused here, not in a new, empty viewer.
    main.openAnswer = writeTemp(dir, "notes.txt", "text");
    action(viewer, "actionOpen")->trigger();
    QCOMPARE(main.packagesOpened, QStringList{second});
    QCOMPARE(prompts.count(CPrompt::Kind::Warning), 1);
    QCOMPARE(viewer.delegate()->fileName(), first);

    // An empty window loads into itself.
    main.openAnswer = second;
    VPackage empty{QString()};
    QVERIFY(!empty.delegate());
    action(empty, "actionOpen")->trigger();
    QCOMPARE(main.packagesOpened.size(), 1);
    QCOMPARE(empty.delegate()->fileName(), second);
}

void TestVPackage::navigatesWithHistory()
{
    QTemporaryDir dir;
    PromptScript prompts;
    VPackage viewer(writeTemp(dir, "pak01_dir.vpk", standardVpk()));
    IPackageDelegate *d = viewer.delegate();
    QTreeView *tree = viewer.tree();
    QAction *back = action(viewer, "actionBack");
    QAction *forward = action(viewer, "actionForward");
    QAction *up = action(viewer, "actionUp");
    const QModelIndex root = viewer.indexForNode(d->root());
    const QModelIndex docs = viewer.indexForNode(d->findNode("docs"));
    const QModelIndex sub = viewer.indexForNode(d->findNode("docs/sub"));
    const QModelIndex materials = viewer.indexForNode(d->findNode("materials"));
    QVERIFY(!back->isEnabled() && !forward->isEnabled());

    tree->setCurrentIndex(docs);
    QCOMPARE(pathText(viewer), QString(".../docs"));
    QCOMPARE(tableColumn(viewer.table(), 0), QStringList({"readme.txt", "sub"}));
    QVERIFY(up->isEnabled() && back->isEnabled());
    tree->setCurrentIndex(sub);
    QCOMPARE(pathText(viewer), QString(".../docs/sub"));

    back->trigger();
    QCOMPARE(tree->currentIndex(), docs);
    QVERIFY(forward->isEnabled());
    forward->trigger();
    QCOMPARE(tree->currentIndex(), sub);
    QVERIFY(!forward->isEnabled());
    back->trigger();
    back->trigger();
    QCOMPARE(tree->currentIndex(), root);
    QVERIFY(!back->isEnabled());
    QVERIFY(!up->isEnabled());
    QCOMPARE(pathText(viewer), QString("..."));
    forward->trigger();
    QCOMPARE(tree->currentIndex(), docs);

    // A new visit empties the forward history.
    tree->setCurrentIndex(materials);
    QVERIFY(!forward->isEnabled());

    // A file made current is recorded but leaves the folder shown.
    tree->setCurrentIndex(viewer.indexForNode(d->findFile("materials/brick.vmt")));
    QCOMPARE(pathText(viewer), QString(".../materials"));
    QCOMPARE(tableColumn(viewer.table(), 0), QStringList({"brick.vmt"}));

    tree->setCurrentIndex(sub);
    up->trigger();
    QCOMPARE(tree->currentIndex(), docs);
    up->trigger();
    QCOMPARE(tree->currentIndex(), root);
    QVERIFY(!up->isEnabled());
}

void TestVPackage::doubleClicks()
{
    QTemporaryDir dir;
    PromptScript prompts;
    FakeMainWindow main;
    VPackage viewer(writeTemp(dir, "pak01_dir.vpk", standardVpk()));
    // The Size cell of a folder row opens the folder like its Name cell.
    emit viewer.table()->doubleClicked(viewer.table()->model()->index(1, 1));
    QCOMPARE(pathText(viewer), QString(".../materials"));
    emit viewer.table()->doubleClicked(viewer.table()->model()->index(0, 1));
    QCOMPARE(main.materials, QStringList{"brick"});
    QCOMPARE(main.materialBytes, QByteArray("shader{}!"));
}

void TestVPackage::searches_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("substring") << "E" << 0 << false
                               << QStringList{"readme.txt", "deep.txt", "materials"};
    QTest::newRow("substring case") << "E" << 0 << true << QStringList();
    QTest::newRow("whole string") << "DOCS" << 1 << false << QStringList{"docs"};
    QTest::newRow("wildcard") << "*.t?t" << 2 << false << QStringList{"readme.txt", "deep.txt"};
    QTest::newRow("regex with root")
        << "^(root|top)" << 3 << false << QStringList{"root", "top.bin"};
    QTest::newRow("invalid regex") << "(" << 3 << false << QStringList();
}

void TestVPackage::searches()
{
    QFETCH(QString, query);
    QFETCH(int, mode);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    PromptScript prompts;
    VPackage viewer(writeTemp(dir, "pak01_dir.vpk", standardVpk()));
    const QStringList before = tableColumn(viewer.table(), 0);

    // Cancel leaves the table as it was.
    action(viewer, "actionSearch")->trigger();
    QCOMPARE(tableColumn(viewer.table(), 0), before);

    prompts.answer = [&](const CPrompt::Request &r) {
        auto *dialog = qobject_cast<QSearchDialog *>(r.dialog);
        dialog->query->setText(query);
        dialog->modeList->setCurrentIndex(mode);
        dialog->caseSensitive->setChecked(caseSensitive);
        CPrompt::Answer a;
        a.result = QDialog::Accepted;
        return a;
    };
    action(viewer, "actionSearch")->trigger();
    QCOMPARE(tableColumn(viewer.table(), 0), names);
    // A result row is an ordinary row: an entry of the tree.
    for (int row = 0; row < viewer.tableModel()->rowCount(); ++row)
        QVERIFY(viewer.indexForNode(viewer.tableModel()->node(row)).isValid());
    // The tree and the path field are left alone; the dialog keeps its query.
    QCOMPARE(pathText(viewer), QString("..."));
    QCOMPARE(viewer.searchDialog()->query->text(), query);
    QCOMPARE(viewer.searchDialog()->searchMode(), mode);
}

void TestVPackage::showsProperties()
{
    QTemporaryDir dir;
    PromptScript prompts;
    VPackage viewer(writeTemp(dir, "pak01_dir.vpk", standardVpk()));
    QStringList shown;
    QString title;
    prompts.answer = [&](const CPrompt::Request &r) {
        auto *dialog = qobject_cast<VPackagePropertiesDialog *>(r.dialog);
        shown.clear();
        for (int i = 0; i < CPackageProperties::RowCount; ++i) {
            const auto row = CPackageProperties::Row(i);
            if (!dialog->value(row)->isHidden())
                shown << dialog->caption(row)->text() + " " + dialog->value(row)->text();
        }
        if (!dialog->line()->isHidden())
            shown << "----";
        title = dialog->windowTitle();
        CPrompt::Answer a;
        a.result = QDialog::Accepted;
        return a;
    };
    viewer.showProperties(viewer.delegate()->findFile("top.bin"));
    QCOMPARE(title, QString("top.bin"));
    QCOMPARE(shown,
             QStringList({"Type: BIN File", "Path: .../", "Size: 6 Bytes", "Size On Disk: 6 Bytes",
                          "Preload Bytes: 3", "Archive: (Directory)", "CRC: 0x00000000", "----"}));
    viewer.showProperties(viewer.delegate()->root());
    QCOMPARE(title, QString("root"));
    QCOMPARE(shown, QStringList({"Type: Folder", "Path: ...", "Size: 30 Bytes",
                                 "Size On Disk: 30 Bytes", "Contents: 3 Folder(s), 4 File(s)"}));
    QCOMPARE(prompts.count(CPrompt::Kind::Exec), 2);
    viewer.showProperties(nullptr);
    QCOMPARE(prompts.count(CPrompt::Kind::Exec), 2);
}

void TestVPackage::extractsFilesAndFolders()
{
    QTemporaryDir dir;
    QTemporaryDir out;
    FakeMainWindow main;
    PromptScript prompts;
    VPackage viewer(writeTemp(dir, "pak01_dir.vpk", standardVpk()));
    // A trailing separator is dropped; the absolute path stays absolute.
    main.directoryAnswer = out.path() + "/";
    QVERIFY(VpkFixture::writeFile(out.filePath("top.bin"), "old contents"));

    // The root through the tree's menu: a folder "root" with everything below.
    QMetaObject::invokeMethod(&viewer, "treeContextExtract");
    const QString base = out.path() + "/";
    QCOMPARE(fileBytes(base + "root/docs/readme.txt"), QByteArray("hello world"));
    QCOMPARE(fileBytes(base + "root/docs/sub/deep.txt"), QByteArray("deep"));
    QCOMPARE(fileBytes(base + "root/materials/brick.vmt"), QByteArray("shader{}!"));
    QCOMPARE(fileBytes(base + "root/top.bin"), QByteArray("preabc"));

    // The rows of the table go directly into the output folder; a file
    // already there is replaced.
    viewer.table()->selectAll();
    QMetaObject::invokeMethod(&viewer, "tableContextExtract");
    QCOMPARE(fileBytes(base + "top.bin"), QByteArray("preabc"));
    QCOMPARE(fileBytes(base + "docs/sub/deep.txt"), QByteArray("deep"));
    QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"docs", "materials", "root", "top.bin"}));
    QCOMPARE(prompts.count(CPrompt::Kind::Exec), 0);
}

void TestVPackage::refusesHostileNames()
{
    QTemporaryDir dir;
    QTemporaryDir out;
    FakeMainWindow main;
    main.directoryAnswer = out.path();
    PromptScript prompts;
    QString log;
    bool finished = false;
    prompts.answer = [&](const CPrompt::Request &r) {
        if (auto *progress = qobject_cast<QProgressDialogger *>(r.dialog)) {
            log = progress->logEdit->toPlainText();
            finished = progress->buttonOk->isEnabled();
        }
        return CPrompt::Answer();
    };
    VPackage viewer(writeTemp(dir, "pak01_dir.vpk", standardVpk()));
    // A delegate of another tool could hand over such names; the viewer must
    // not follow them.
    QVERIFY(viewer.delegate()->findNode("docs")->setName(".."));
    QVERIFY(viewer.delegate()->findFile("top.bin")->setName("a/../../escape.bin"));
    viewer.table()->selectAll();
    QMetaObject::invokeMethod(&viewer, "tableContextExtract");
    QVERIFY(log.contains("Refusing unsafe entry name \"/..\""));
    QVERIFY(log.contains("Refusing unsafe entry name \"/a/../../escape.bin\""));
    QVERIFY(QFileInfo(out.filePath("materials/brick.vmt")).isFile());
    QVERIFY(!QFileInfo::exists(out.filePath("../readme.txt")));
    QVERIFY(!QFileInfo::exists(out.filePath("../escape.bin")));
    QVERIFY(!QFileInfo::exists(out.filePath("escape.bin")));
    QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"materials"});
    // The refused folder's contents count as done: the run ends with Ok.
    QVERIFY(finished);
}

void TestVPackage::cancelStopsExtraction()
{
    QTemporaryDir dir;
    QTemporaryDir out;
    FakeMainWindow main;
    main.directoryAnswer = out.path();
    PromptScript prompts;
    VPackage viewer(writeTemp(dir, "pak01_dir.vpk", standardVpk()));
    viewer.table()->selectAll();
    // Cancel arrives with the first progress step, while docs is done.
    QTimer::singleShot(0, [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *progress = qobject_cast<QProgressDialogger *>(w))
                progress->buttonCancel->click();
        }
    });
    QMetaObject::invokeMethod(&viewer, "tableContextExtract");
    QVERIFY(QFileInfo(out.filePath("docs")).isDir());
    QVERIFY(!QFileInfo::exists(out.filePath("top.bin")));
    QVERIFY(!QFileInfo::exists(out.filePath("docs/sub")));
}

void TestVPackage::opensEntriesElsewhere()
{
    QTemporaryDir dir;
    FakeMainWindow main;
    PromptScript prompts;
    QStringList opened;
    bool openerSucceeds = true;
    const PrivateDesktop desktop(dir.filePath("desktop"));
    QVERIFY(desktop.write("data-home/applications/editor.desktop",
                          "[Desktop Entry]\nMimeType=text/plain;\n"));
    CDesktopFile::setOpener([&](const QString &path) {
        opened << path;
        return openerSucceeds;
    });
    VPackage viewer(writeTemp(dir, "pak01_dir.vpk", standardVpk()));
    viewer.openEntry(viewer.delegate()->findFile("docs/readme.txt"));
    viewer.openEntry(viewer.delegate()->findFile("docs/readme.txt"));
    QCOMPARE(prompts.asked.size(), 0);

    // A kind no application takes, and an application that does not start:
    // each says so instead of leaving the user waiting.
    QVERIFY(viewer.delegate()->addFile(QByteArray("\0\1\2\3", 4), false, "model.mdl"));
    viewer.openEntry(viewer.delegate()->findFile("model.mdl"));
    openerSucceeds = false;
    viewer.openEntry(viewer.delegate()->findFile("docs/sub/deep.txt"));
    CDesktopFile::setOpener({});
    QCOMPARE(prompts.asked.size(), 2);
    QCOMPARE(prompts.asked[0].kind, CPrompt::Kind::Warning);
    QCOMPARE(prompts.asked[0].title, viewer.windowTitle());
    QCOMPARE(prompts.asked[0].text,
             QString("File Error: No application is associated with files like \"model.mdl\""));
    QCOMPARE(prompts.asked[1].text,
             QString("File Error: Unable to open \"deep.txt\" with its associated application"));
    QCOMPARE(opened.size(), 3);
    opened.removeLast();
    QVERIFY(opened[0] != opened[1]);
    QCOMPARE(QFileInfo(opened[0]).fileName(), QString("readme.txt"));
    QCOMPARE(QFileInfo(opened[1]).fileName(), QString("readme (2).txt"));
    QVERIFY(!opened[0].startsWith(QDir::tempPath() + "/readme"));
    QCOMPARE(fileBytes(opened[0]), QByteArray("hello world"));
    QCOMPARE(main.temporaryFiles.size(), 4);

    // Textures go to the texture editor or nowhere, never to the desktop; one
    // the reader refuses (a 128 x 128 ATI2N normal map) says why.
    QVERIFY(viewer.delegate()->addFile(QByteArray("not a texture"), false, "skin.VTF"));
    QVERIFY(viewer.delegate()->addFile(VTFFixture::from("side:128 mips:1 bpp:1 format:34").build(),
                                       false, "normal.vtf"));
    viewer.openEntry(viewer.delegate()->findFile("SKIN.vtf"));
    viewer.openEntry(viewer.delegate()->findFile("normal.vtf"));
    QCOMPARE(main.textures, 0);
    QCOMPARE(prompts.asked.last().text, QString("Read Error: Unsupported image format 34"));
    QCOMPARE(main.temporaryFiles.size(), 4);
}

void TestVPackage::mapEntriesThatCannotBeRead()
{
    // Deflated pakfile files, the earlier of two names differing in case.
    ZipFixture zip;
    zip.add("B.VMT", "hidden");
    for (const char *name : {"a.txt", "b.vmt"}) {
        ZipFixture::Entry &e = zip.add(name, QByteArray(19, 'z'));
        e.method = 8;
        e.uncompressed = 500;
    }
    MapFixture map;
    map.lumps[40] = zip.build();
    QTemporaryDir dir;
    FakeMainWindow main;
    PromptScript prompts;
    CDesktopFile::setOpener([](const QString &) { return true; });
    QStringList warnings;
    std::unique_ptr<VPackage> viewer;
    {
        WarningCapture capture;
        viewer = std::make_unique<VPackage>(writeTemp(dir, "m.bsp", map.build()));
        warnings = capture.lines();
    }
    // The open's warning went out once, not again from the viewer.
    QCOMPARE(warnings, viewer->delegate()->warnings());
    QCOMPARE(warnings.size(), 1);

    QCOMPARE(tableColumn(viewer->table(), 0), QStringList({"lumps", "b.vmt", "a.txt"}));
    QCOMPARE(tableColumn(viewer->table(), 1), QStringList({"64 Item(s)", "500", "500"}));
    // Opening one says why nothing opens.
    for (int row : {1, 2}) {
        emit viewer->table()->doubleClicked(viewer->table()->model()->index(row, 0));
        QCOMPARE(prompts.count(CPrompt::Kind::Warning), row);
        const QString name = row == 1 ? "b.vmt" : "a.txt";
        QCOMPARE(prompts.asked.last().text, PackageErrors::Bsp::compressedEntry(name, 8));
    }
    CDesktopFile::setOpener({});
    QVERIFY(main.materials.isEmpty());
}

void TestVPackage::handlesLargeArchives()
{
    QTemporaryDir dir;
    VpkTree t;
    t.ext("vmt");
    for (int folder = 0; folder < 10; ++folder) {
        t.path("materials/set" + QByteArray::number(folder));
        for (int file = 0; file < 10000; ++file)
            t.file("m" + QByteArray::number(file), VpkTree::InDirectory, 0, 0);
    }
    PromptScript prompts;
    VPackage viewer(writeTemp(dir, "big_dir.vpk", VpkFixture::directory(1, t.finish())));
    prompts.answer = [](const CPrompt::Request &r) {
        qobject_cast<QSearchDialog *>(r.dialog)->query->setText("m");
        CPrompt::Answer a;
        a.result = QDialog::Accepted;
        return a;
    };
    action(viewer, "actionSearch")->trigger();
    QCOMPARE(viewer.table()->model()->rowCount(), 100000 + 1); // and "materials"
}

void TestVPackage::iconExtensions_data()
{
    // Taken as a path's extension is: after the first "." of the last part.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    static const char *const rows[][2] = {
        {"brick.vtf", "vtf"}, {"archive.tar.gz", "tar.gz"}, {".hidden", ""}, {".a.b", "b"},
        {"readme", ""},       {"x.y|skin.VMT", "VMT"},      {"top.", ""}};
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString(row[0]) << QString(row[1]);
}

void TestVPackage::iconExtensions()
{
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QCOMPARE(VPackageIcons::extension(name), extension);
    CPath path;
    path.setFileName(name);
    QCOMPARE(VPackageIcons::extension(name), path.extension());
}

QTEST_MAIN(TestVPackage)
#include "tst_vpackage.moc"
