// The stand-in image reader below is built into this program, not loaded.
#define QT_STATICPLUGIN

#include "CSaveFile.h"
#include "VVTFFixture.h"
#include "VVTFImporter.h"
#include "VVTFNewImageWidget.h"

#include <Magick++.h>

#include <QBuffer>
#include <QComboBox>
#include <QDialog>
#include <QImageIOPlugin>
#include <QImageReader>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtPlugin>
#include <QtTest>

// A reader that counts three pages but cannot move past the first, as a
// damaged multi-page file or an odd format plugin may.
class StuckPagesHandler : public QImageIOHandler
{
public:
    bool canRead() const override { return true; }
    bool read(QImage *image) override
    {
        *image = QImage(4, 4, QImage::Format_ARGB32);
        image->fill(Qt::red);
        return true;
    }
    int imageCount() const override { return 3; }
    bool jumpToNextImage() override { return false; }
};

class StuckPagesPlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "stuckpages.json")

public:
    Capabilities capabilities(QIODevice *, const QByteArray &format) const override
    {
        return format == "stuckpages" ? CanRead : Capabilities();
    }
    QImageIOHandler *create(QIODevice *, const QByteArray &) const override
    {
        return new StuckPagesHandler; // the reader sets its device
    }
};

Q_IMPORT_PLUGIN(StuckPagesPlugin)

// The texture editor window: over documents built in code (counters, the
// rendered picture, tiling, animation, the image tree), and how it gets its
// documents (opening a file, a new texture, an import from image files, and
// where a second document goes). Every page of a multi-page file lands in its
// own frame, face or slice.
class TestVVTFEditor : public QObject
{
    Q_OBJECT

private slots:
    void navigation();
    void renderedPixels_data();
    void renderedPixels();
    void animation();
    void treeLabels_data();
    void treeLabels();
    void openFailures_data();
    void openFailures();
    void openFile_data();
    void openFile();
    void newTexture();
    void import_data();
    void import();
    void importPages_data();
    void importPages();
    void importUnreachablePage();

private:
    QTemporaryDir m_dir;
};

namespace {
// The four counters, then which of the eight arrows are enabled, mipmap left
// first.
QString counters(const VVTF &w)
{
    return QStringList{w.mipmapCounter->text(), w.frameCounter->text(), w.faceCounter->text(),
                       w.sliceCounter->text()}
               .join(QLatin1Char(' ')) +
           ' ' +
           bits({w.mipmapLeft->isEnabled(), w.mipmapRight->isEnabled(), w.frameLeft->isEnabled(),
                 w.frameRight->isEnabled(), w.faceLeft->isEnabled(), w.faceRight->isEnabled(),
                 w.sliceLeft->isEnabled(), w.sliceRight->isEnabled()});
}
} // namespace

void TestVVTFEditor::navigation()
{
    VVTF single(new CFileVTF(1, 1));
    QCOMPARE(counters(single), QStringLiteral("0/0 0/0 0/0 0/0 00000000"));
    QVERIFY(!single.animationButton->isEnabled() && !single.keySlider->isEnabled());

    VVTF window(new CFileVTF(8, 8));
    QCOMPARE(counters(window), QStringLiteral("3/3 0/0 0/0 0/0 10000000"));
    window.mipmapLeft->click();
    QCOMPARE(counters(window), QStringLiteral("2/3 0/0 0/0 0/0 11000000"));
    QCOMPARE(window.imageLabel->size(), QSize(4, 4));
    window.mipmapRight->click();
    QCOMPARE(counters(window), QStringLiteral("3/3 0/0 0/0 0/0 10000000"));
    // A step below the first wraps and lands on the last member.
    QVERIFY(window.vtfSelectImage(0, 0, 0, 0));
    window.vtfMipmapLeft();
    QCOMPARE(window.currentMipmap(), 3);
    // Tiled 2 x 2, the tiles follow a mipmap change; untiled, the tile widget
    // is kept for the next time.
    window.actionTile->trigger();
    QCOMPARE(window.tileWidget->size(), QSize(16, 16));
    window.mipmapLeft->click();
    QCOMPARE(window.imageArea->widget(), window.tileWidget);
    QCOMPARE(window.tileWidget->size(), QSize(8, 8));
    for (QLabel *copy : window.tileCopies)
        QCOMPARE(copy->pixmap(Qt::ReturnByValue).size(), QSize(4, 4));
    window.actionTile->trigger();
    QCOMPARE(window.imageArea->widget(), window.imageLabel);
    QCOMPARE(window.tileWidget->parentWidget(), &window);

    // An empty window has nothing to show or step through.
    VVTF empty(static_cast<CFileVTF *>(nullptr));
    QVERIFY(!empty.vtfSelectImage(0, 0, 0, 0));
    empty.vtfMipmapRight();
    empty.vtfAnimationCycle();
    QVERIFY(!empty.tabs->isEnabled() && !empty.actionSave->isEnabled());
    QCOMPARE(empty.windowTitle(), QStringLiteral("VTF Editor"));
}

void TestVVTFEditor::renderedPixels_data()
{
    // The View entries triggered, then the shown pixels at (0, 0) and (8, 0)
    // (transparent, in two checkerboard cells) and at (1, 0) (opaque).
    QTest::addColumn<QString>("row");
    QTest::newRow("rgb") << "|5a3c1e 5a3c1e c86432";
    QTest::newRow("rgb masked") << "Mask|999999 666666 c86432";
    QTest::newRow("red") << "Red|5a5a5a 5a5a5a c8c8c8";
    QTest::newRow("green masked") << "Green Mask|3c3c3c 3c3c3c 646464";
    QTest::newRow("alpha masked") << "Alpha Mask|0 0 ffffff";
}

void TestVVTFEditor::renderedPixels()
{
    QFETCH(QString, row);
    const QString view = row.section('|', 0, 0);

    auto *document = new CFileVTF(16, 16);
    QByteArray rgba = filled(16, 16, qRgba(90, 60, 30, 0));
    rgba.replace(4, 4, QByteArray::fromHex("c86432ff"));
    QVERIFY(document->setImage(rgba, 16, 16, document->mipmapCount() - 1, 0, 0, 0, false));
    VVTF window(document);
    trigger(window, view);
    const QImage shown = shownPicture(window);
    QStringList out;
    for (const QPoint &p : {QPoint(0, 0), QPoint(8, 0), QPoint(1, 0)})
        out << QString::number(shown.pixel(p) & 0xFFFFFF, 16);
    QCOMPARE(out.join(' '), row.section('|', 1));
}

void TestVVTFEditor::animation()
{
    auto *document = new CFileVTF(4, 4);
    QVERIFY(document->setFrameCount(3));
    const QRgb colours[3] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    for (int frame = 0; frame < 3; ++frame)
        QVERIFY(document->setImage(filled(4, 4, colours[frame]), 4, 4, 2, frame, 0, 0, false));
    document->setFirstFrame(2);
    VVTF window(document);
    QVERIFY(window.animationButton->isEnabled());

    window.animationButton->setChecked(true);
    QVERIFY(window.animationTimer().isActive());
    QCOMPARE(window.animationTimer().interval(), 200);
    // The first tick shows the first frame, then the loop wraps to frame 0.
    QList<int> shownFrames;
    for (int tick = 0; tick < 4; ++tick) {
        window.vtfAnimationCycle();
        shownFrames << window.currentFrame();
        QCOMPARE(shownPicture(window).pixel(0, 0), colours[window.currentFrame()]);
    }
    QCOMPARE(shownFrames, (QList<int>{2, 0, 1, 2}));
    QCOMPARE(window.frameCounter->text(), QStringLiteral("2/2"));

    window.vtfShowThumbnail();
    QVERIFY(!window.animationButton->isChecked() && !window.animationTimer().isActive());
}

void TestVVTFEditor::treeLabels_data()
{
    // The texture, then the children of the largest mipmap item and the
    // first child's.
    QTest::addColumn<QString>("row");
    QTest::newRow("envmap") << "4x4 faces:6|Right,Left,Back,Front,Up,Down;";
    QTest::newRow("spheremap") << "4x4 faces:7|Right,Left,Back,Front,Up,Down,Spheremap;";
    QTest::newRow("six plain faces") << "4x4 faces:6 plain|Face 0,Face 1,Face 2,Face 3,Face 4,"
                                        "Face 5;";
    QTest::newRow("frames of slices") << "4x4 frames:2 slices:2|Frame 0,Frame 1;Slice 0,Slice 1";
    QTest::newRow("one image") << "4x4|;";
}

void TestVVTFEditor::treeLabels()
{
    QFETCH(QString, row);
    QString setup = row.section('|', 0, 0);
    const bool plain = setup.endsWith(QLatin1String(" plain"));
    CFileVTF *document = texture(setup.remove(QLatin1String(" plain")));
    if (plain)
        document->setFlags(document->flags() & ~VTFFlag::EnvironmentMap);
    VVTF window(document);

    const auto childLabels = [](const QTreeWidgetItem *item) {
        QStringList out;
        for (int i = 0; item && i < item->childCount(); ++i)
            out << item->child(i)->text(0);
        return out.join(QLatin1Char(','));
    };
    QTreeWidgetItem *top = window.imageTree->invisibleRootItem();
    QCOMPARE(childLabels(top), QStringLiteral("Thumbnail,1 x 1,2 x 2,4 x 4"));
    const QTreeWidgetItem *largest = top->child(3);
    QCOMPARE(childLabels(largest) + ';' + childLabels(largest->child(0)), row.section('|', 1));
}

void TestVVTFEditor::openFailures_data()
{
    // The file (a missing file, a folder, a picture) and the message.
    QTest::addColumn<QString>("row");
    QTest::newRow("missing") << "missing.vtf|Read Error: File does not exist";
    QTest::newRow("folder") << "folder.vtf|Read Error: Unable to open device";
    QTest::newRow("picture") << "picture.vtf|File Error: Magic number mismatch";
}

void TestVVTFEditor::openFailures()
{
    QFETCH(QString, row);
    const QString name = row.section('|', 0, 0);
    const QString error = row.section('|', 1);

    const QString path = m_dir.filePath(name);
    if (name.startsWith(QLatin1String("folder")))
        QVERIFY(QDir(m_dir.path()).mkpath(name));
    else if (name.startsWith(QLatin1String("picture")))
        QVERIFY(CSaveFile::writeAll(path, "\x89PNG\r\n\x1a\n"));
    PromptScript script;
    VVTF window(path);
    QVERIFY(script.asked.size() == 1 && script.asked[0].kind == CPrompt::Kind::Information);
    QCOMPARE(script.asked[0].title + '|' + script.asked[0].text, "VTF Editor|" + error);
    QVERIFY(!window.document());
    QCOMPARE(window.windowTitle(), QStringLiteral("VTF Editor"));

    // "Open..." asks for a path and, refused again, leaves the window as it was.
    script.files({path});
    window.actionOpen->trigger();
    QCOMPARE(script.asked.size(), 3);
    QCOMPARE(script.asked[1].title + '|' + script.asked[1].filter,
             QStringLiteral("Open VTF|Valve Texture File (*.vtf)"));
    QVERIFY(!window.document());
}

void TestVVTFEditor::openFile_data()
{
    // The file (a 4 x 4 RGBA8888 fixture of three levels at 7.3, changed),
    // then: title, HDR sliders, "Resources" tab, CRC, LOD clamps, TS0, KVD
    // and the first shown pixel's blue.
    QTest::addColumn<QString>("row");
    QTest::newRow("resources")
        << "crc lod ts0 kvd|rock[*] 0 1 0xDEADBEEF 30;30;30;30 0x7 Present 81";
    QTest::newRow("7.2") << "7.2|rock[*] 0 0 Absent ;;;  Absent 81";
    QTest::newRow("float") << "format:24 bpp:8|rock[*] 1 1 Absent ;;;  Absent d5";
    // A palette image cannot be decoded: the picture is blank, at its size.
    QTest::newRow("palette") << "format:7 bpp:1|rock[*] 0 1 Absent ;;;  Absent 0";
}

void TestVVTFEditor::openFile()
{
    QFETCH(QString, row);
    const QString path = m_dir.filePath(QStringLiteral("rock.vtf"));
    QVERIFY(CSaveFile::writeAll(path, VTFFixture::from(row.section('|', 0, 0)).build()));

    TextureMainWindow main;
    PromptScript script;
    VVTF window{QString()};
    script.files({path}).files({path});
    window.actionOpen->trigger();
    QVERIFY(window.document());
    QVERIFY(!window.isWindowModified());
    QCOMPARE(window.displaySize(), QSize(4, 4));
    QCOMPARE(window.displayBuffer().size(), 4 * 4 * 4);
    QStringList clamps;
    for (const QLineEdit *edit :
         {window.lodClampX, window.lodClampY, window.lodXboxClampX, window.lodXboxClampY})
        clamps << edit->text();
    QCOMPARE(QStringList({window.windowTitle(), QString::number(window.keySlider->isEnabled()),
                          QString::number(window.tabs->isTabEnabled(4)), window.crcStatus->text(),
                          clamps.join(';'), window.textureSettingsEdit->text(),
                          window.keyValueStatus->text(),
                          QString::number(shownPicture(window).pixel(0, 0) & 0xFF, 16)})
                 .join(' '),
             row.section('|', 1));

    // The window keeps its texture: a second one opens in a window of its own.
    window.setWindowModified(true);
    CFileVTF *first = window.document();
    window.actionOpen->trigger();
    QCOMPARE(window.document(), first);
    QVERIFY(window.isWindowModified());
    QCOMPARE(main.opened.size(), 1);
    QVERIFY(!main.opened.first()->isWindowModified());
}

void TestVVTFEditor::newTexture()
{
    // Cancelled, nothing; accepted, the chosen size in this empty window.
    TextureMainWindow main;
    PromptScript script;
    VVTF window{QString()};
    window.actionNew->trigger();
    QVERIFY(!window.document());
    script.accept([](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("New VTF"));
        child<QComboBox>(*dialog, "newWidth")->setCurrentIndex(3);
        child<QComboBox>(*dialog, "newHeight")->setCurrentIndex(5);
    });
    window.actionNew->trigger();
    QVERIFY(window.document() && main.opened.isEmpty() && !window.isWindowModified());
    QCOMPARE(QSize(window.document()->width(), window.document()->height()), QSize(8, 32));
    QCOMPARE(window.windowTitle(), QStringLiteral("untitled[*]"));
}

void TestVVTFEditor::import_data()
{
    // The file ("png": 300 x 200, "tiff" and a page count, "missing", "junk")
    // and the radio button to check (or "cancel"); then the texture's sides,
    // frames, faces, slices, format and thumbnail format; then the last
    // message shown (%1: the file). Six faces get the spheremap; several
    // faces no thumbnail.
    QTest::addColumn<QString>("row");
    QTest::newRow("300x200 picture") << "png|256 256 1 1 1 15 13|";
    QTest::newRow("six as faces") << "tiff6 facesButton|16 16 1 7 1 15 -1|";
    QTest::newRow("six as frames") << "tiff6|16 16 6 1 1 15 13|";
    QTest::newRow("eight as faces") << "tiff8 facesButton|16 16 1 1 1 15 13|Import Error: 7 of 8 "
                                       "images found no place in the texture and were left out";
    QTest::newRow("missing") << "missing||Device Error: Unable to read \"%1\"";
    QTest::newRow("not a picture") << "junk||Unsupported image format";
    QTest::newRow("cancelled") << "junk cancel||";
}

void TestVVTFEditor::import()
{
    QFETCH(QString, row);
    const QString source = row.section('|', 0, 0).section(' ', 0, 0);
    const QString choice = row.section('|', 0, 0).section(' ', 1);

    const QString path = m_dir.filePath(source + (source == "png" ? ".png" : ".tiff"));
    if (source == QLatin1String("png")) {
        QImage picture(300, 200, QImage::Format_ARGB32);
        picture.fill(qRgb(255, 128, 0));
        QVERIFY(picture.save(path));
    } else if (source.startsWith(QLatin1String("tiff"))) {
        writePages(path, source.mid(4).toInt());
    } else if (source == QLatin1String("junk")) {
        QVERIFY(CSaveFile::writeAll(path, "no picture here"));
    }

    PromptScript script;
    script.files({path});
    if (choice != QLatin1String("cancel")) {
        script.accept([&](QDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), path);
            if (auto *button = dialog->findChild<QRadioButton *>(choice))
                button->setChecked(true);
        });
    }
    VVTF window{QString()};
    window.actionImport->trigger();
    QCOMPARE(script.asked.first().title + '|' + script.asked.first().filter,
             QStringLiteral("New VTF|Supported Formats (*.png *.jpg *.jpeg *.tiff *.bmp *.gif "
                            "*.ppm *.pgm *.pbm *.xpm *.xbm)"));
    QString shown;
    for (const CPrompt::Request &r : script.asked)
        if (r.kind == CPrompt::Kind::Information || r.kind == CPrompt::Kind::Warning)
            shown = r.title + ": " + r.text;
    const CFileVTF *d = window.document();
    QCOMPARE(!d ? QString()
                : QString::asprintf("%d %d %d %d %d %d %d", d->width(), d->height(),
                                    d->frameCount(), d->faceCount(), d->sliceCount(),
                                    d->highResImageFormat(), d->lowResImageFormat()),
             row.section('|', 1, 1));
    QCOMPARE(shown.section(QLatin1String(": "), 1),
             row.section('|', 2).replace(QLatin1String("%1"), path));
    QVERIFY(shown.isEmpty() || shown.startsWith(QLatin1String("VTF Editor: ")));
    if (d) {
        QCOMPARE(d->displayName(), source);
        // Reflectivity and mipmaps were computed: the 1 x 1 level is orange.
        QByteArray smallest;
        QVERIFY(d->decodeImage(0, 0, 0, 0, smallest));
        if (source == QLatin1String("png")) {
            QCOMPARE(d->reflectivity(0), 1.0f);
            QCOMPARE(int(uchar(smallest[0])), 255);
        }
        QVERIFY(!window.isWindowModified());
    }
}

void TestVVTFEditor::importPages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("layout");
    using Layout = VVTFRules::ImportLayout;
    QTest::newRow("TIFF as frames") << "pages.tiff" << 4 << int(Layout::Frames);
    QTest::newRow("TIFF as faces") << "pages.tiff" << 6 << int(Layout::Faces);
    QTest::newRow("TIFF as slices") << "pages.tiff" << 4 << int(Layout::Slices);
    // An animation's reader moves on by itself and cannot be told to jump.
    QTest::newRow("GIF as frames") << "frames.gif" << 4 << int(Layout::Frames);
}

void TestVVTFEditor::importPages()
{
    QFETCH(QString, file);
    QFETCH(int, pages);
    QFETCH(int, layout);

    const QString path = m_dir.filePath(QString::number(pages) + file);
    writePages(path, pages);
    QImageReader reader(path);
    VVTFImportSettings settings;
    settings.format = IMAGE_FORMAT_RGBA8888;
    settings.layout = VVTFRules::ImportLayout(layout);
    QScopedPointer<CFileVTF> texture(VVTFImporter().import(reader, settings));
    QVERIFY(texture);

    const int top = texture->mipmapCount() - 1;
    for (int page = 0; page < pages; ++page) {
        int place[3] = {0, 0, 0}; // frame, face, slice
        place[layout] = page;
        QByteArray rgba;
        QVERIFY(texture->decodeImage(top, place[0], place[1], place[2], rgba));
        QCOMPARE(rgba.toHex(), filled(16, 16, pageColour(page)).toHex());
    }
}

void TestVVTFEditor::importUnreachablePage()
{
    QBuffer device;
    QVERIFY(device.open(QIODevice::ReadOnly));
    QImageReader reader(&device, "stuckpages");
    VVTFImporter importer;
    QVERIFY(!importer.import(reader, VVTFImportSettings()));
    QCOMPARE(importer.error, QStringLiteral("Import Error: Unable to reach image 1"));
}

VTF_TEST_MAIN(TestVVTFEditor, QApplication, )

#include "tst_vvtfeditor.moc"
