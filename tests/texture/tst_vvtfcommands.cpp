#include "CSaveFile.h"
#include "FullDisk.h"
#include "UnwritableFile.h"
#include "VVTFFixture.h"
#include "VVTFImageRangeWidget.h"
#include "initResources.h"

#include <Magick++.h>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

// The texture editor's commands driven through its menus and fields:
// saving, copying, reshaping, the information panel, replacing an image, and
// editing, saving, reopening and exporting a texture file (the pictures
// judged by ImageMagick).
class TestVVTFCommands : public QObject
{
    Q_OBJECT

private slots:
    void saving();
    void copy_data();
    void copy();
    void structure_data();
    void structure();
    void panelFields_data();
    void panelFields();
    void flagsAndVersion();
    void replaceImage_data();
    void replaceImage();
    void editSaveReopenExport();
    void exportChosenImage_data();
    void exportChosenImage();

private:
    QTemporaryDir m_dir;
};

namespace {
// Counts (faces frames slices mipmaps), then modified, the ticked face-count
// entries, "Slice Count..." and "First Frame:" enabled, both spheremap and
// both mipmap entries enabled, and the tree's top-level items.
QString structureState(const VVTF &w)
{
    const CFileVTF &d = *w.document();
    const auto ticked = [](const QAction *action) {
        return action->icon().pixmap(16).toImage() ==
               QIcon(QStringLiteral(":/resources/icons/tick.png")).pixmap(16).toImage();
    };
    return QString::asprintf("%d %d %d %d ", d.faceCount(), d.frameCount(), d.sliceCount(),
                             d.mipmapCount()) +
           bits({w.isWindowModified(), ticked(w.actionFacesOne), ticked(w.actionFacesSix),
                 ticked(w.actionFacesSeven), w.actionSliceCount->isEnabled(),
                 w.firstFrameEdit->isEnabled(), w.actionGenerateSpheremaps->isEnabled(),
                 w.treeActionGenerateSpheremaps->isEnabled(), w.actionGenerateMipmaps->isEnabled(),
                 w.treeActionGenerateMipmaps->isEnabled()}) +
           ' ' + QString::number(w.imageTree->topLevelItemCount());
}

// The questions asked: the kind, then the label and what was offered first
// for a list or number, or the text of a message up to its first quote.
QString asked(const PromptScript &script)
{
    QStringList out;
    for (const CPrompt::Request &r : script.asked) {
        if (r.kind == CPrompt::Kind::Item)
            out << "Item:" + r.text + r.items.value(r.current);
        else if (r.kind == CPrompt::Kind::Int)
            out << "Int:" + r.text + QString::number(r.value);
        else if (r.kind == CPrompt::Kind::Warning || r.kind == CPrompt::Kind::Information)
            out << "Box:" + r.text.section(QStringLiteral(" \""), 0, 0);
        else if (r.kind == CPrompt::Kind::OpenFileName)
            out << QStringLiteral("Open");
    }
    return out.join(QLatin1Char(' '));
}

// ImageMagick's view of a picture: its size and its RGBA bytes.
QByteArray readByMagick(const QString &path, QSize &size)
{
    Magick::Image image(QFile::encodeName(path).toStdString());
    Magick::Blob rgba;
    image.magick("RGBA"), image.depth(8), image.write(&rgba);
    size = QSize(int(image.columns()), int(image.rows()));
    return QByteArray(static_cast<const char *>(rgba.data()), int(rgba.length()));
}

// Width, height, red and alpha of its first pixel.
QList<int> seenByMagick(const QString &path)
{
    QSize size;
    const QByteArray rgba = readByMagick(path, size);
    return {size.width(), size.height(), quint8(rgba[0]), quint8(rgba[3])};
}
} // namespace

void TestVVTFCommands::saving()
{
    // Questions beyond the queued answers are cancelled.
    PromptScript script;
    QPointer<VVTF> window = new VVTF(new CFileVTF(4, 4));
    window->setWindowModified(true);

    // A new texture asks for a path; cancelled, nothing changes.
    window->actionSave->trigger();
    QCOMPARE(QString::number(script.asked.size()) + script.asked[0].title + script.asked[0].filter,
             QStringLiteral("1Save AsValve Texture File (*.vtf)"));
    QVERIFY(window->isWindowModified());

    const QString first = m_dir.filePath("first.vtf"), second = m_dir.filePath("second.vtf");
    script.files({first});
    window->actionSave->trigger();
    QVERIFY(QFile::exists(first) && !window->isWindowModified());
    // Save As, then Save: both write the second file.
    script.files({second});
    window->actionSaveAs->trigger();
    QCOMPARE(window->windowTitle(), QStringLiteral("second[*]"));
    QVERIFY(QFile::remove(first) && QFile::remove(second));
    window->setWindowModified(true);
    window->actionSave->trigger();
    QVERIFY(QFile::exists(second) && !QFile::exists(first) && !window->isWindowModified());

    // A copy keeps title, path and mark.
    window->setWindowModified(true);
    const QString copy = m_dir.filePath(QStringLiteral("copy.vtf"));
    script.files({copy});
    window->actionSaveCopyAs->trigger();
    QCOMPARE(script.asked.last().title, QStringLiteral("Save Copy As"));
    QVERIFY(QFile::exists(copy));
    QCOMPARE(window->windowTitle() + window->document()->toString(), "second[*]" + second);
    QVERIFY(window->isWindowModified());

    // A full disk: the system's reason, the old file as it was.
    QVERIFY(writeFile(second, "old texture"));
    {
        const FullDisk disk(100);
        window->actionSave->trigger();
    }
    QCOMPARE(script.asked.last().text,
             QStringLiteral("Device Error: Incomplete write (No space left on device)"));
    QCOMPARE(readFile(second), QByteArray("old texture"));
    QVERIFY(window->isWindowModified());

    // A file that cannot be replaced: a warning that names the folder, the
    // old file as it was; closed with Save, the window stays.
    QTemporaryDir locked;
    const UnwritableFile stuck(locked.path(), "old texture", ".vtf");
    REQUIRE_UNWRITABLE(stuck);
    window->document()->setPath(stuck.path, true);
    window->actionSave->trigger();
    const CPrompt::Request warning = script.asked.last();
    QCOMPARE(int(warning.kind), int(CPrompt::Kind::Warning));
    QCOMPARE(warning.text, CSaveFile::folderMessage(stuck.path));
    script.asked.clear();
    script.button(QMessageBox::Save);
    QVERIFY(!window->close() && window->isWindowModified());
    QVERIFY(script.asked.size() == 2 && script.asked[1].kind == CPrompt::Kind::Warning);
    QCOMPARE(readFile(stuck.path), QByteArray("old texture"));

    // A new texture closed: Save with the path question cancelled, or Cancel,
    // keeps the window; Discard closes it.
    delete window;
    window = new VVTF(new CFileVTF(4, 4));
    window->setWindowModified(true);
    script.asked.clear();
    script.button(QMessageBox::Save);
    QVERIFY(!window->close());
    QVERIFY(script.asked.size() == 2 && script.asked[1].kind == CPrompt::Kind::SaveFileName);
    QCOMPARE(script.asked[0].title, QStringLiteral("untitled[*]"));
    script.button(QMessageBox::Cancel);
    QVERIFY(!window->close() && window->isWindowModified());
    script.button(QMessageBox::Discard);
    QVERIFY(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
}

void TestVVTFCommands::copy_data()
{
    // The texture, the View entries, the top-level tree item copied, then
    // the copied pixel (or none).
    QTest::addColumn<QString>("row");
    QTest::newRow("mipmap of two frames") << "4x4 frames:2||3|none";
    QTest::newRow("colour") << "4x4||3|c86432ff";
    QTest::newRow("colour with mask") << "4x4|Mask|3|c8643240";
    QTest::newRow("thumbnail") << "4x4||0|none";
}

void TestVVTFCommands::copy()
{
    QFETCH(QString, row);
    const QStringList part = row.split('|');
    CFileVTF *document = texture(part[0]);
    for (int frame = 0; frame < document->frameCount(); ++frame)
        QVERIFY(
            document->setImage(filled(4, 4, qRgba(200, 100, 50, 64)), 4, 4, 2, frame, 0, 0, false));
    VVTF window(document);
    trigger(window, part[1]);
    QGuiApplication::clipboard()->clear();
    QVERIFY(!window.actionPaste->isEnabled());

    window.vtfResolveTreeItem(window.imageTree->topLevelItem(part[2].toInt()));
    window.treeActionCopy->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    const QRgb p = copied.isNull() ? 0 : copied.pixel(0, 0);
    QCOMPARE(copied.isNull()
                 ? QStringLiteral("none")
                 : QString::asprintf("%02x%02x%02x%02x", qRed(p), qGreen(p), qBlue(p), qAlpha(p)),
             part[3]);
    // The paste entries follow the clipboard.
    QCOMPARE(window.actionPaste->isEnabled() && window.treeActionPaste->isEnabled(),
             !copied.isNull());
}

void TestVVTFCommands::structure_data()
{
    // The texture, the entry and the answer, the questions asked (see
    // asked()), then the state afterwards (see structureState).
    QTest::addColumn<QString>("row");
    QTest::newRow("envmap not square") << "8x4|Six (Envmap)||Box:Request Error: Envmaps must be "
                                          "square|1 1 1 4 0100110111 5";
    QTest::newRow("envmap") << "4x4|Six (Envmap)|||6 1 1 3 1010001111 4";
    QTest::newRow("back to one face") << "4x4 faces:7|One (Non-envmap)|||1 1 1 3 1100110011 4";
    QTest::newRow("65536 frames") << "4x4|Frame Count...|65536|Int:Frame Count:1 Box:Request "
                                     "Error: Invalid frame count|1 1 1 3 0100110111 4";
    QTest::newRow("three frames") << "4x4|Frame Count...|3|Int:Frame Count:1|1 3 1 3 1100110111 4";
    QTest::newRow("65536 slices")
        << "4x4 slices:4|Slice Count...|65536|Item:Slice Count:4 Box:Request Error: Invalid "
           "slice count|1 1 4 3 0100110111 4";
    QTest::newRow("nine mipmaps") << "4x4|Mipmap Count...|256 x 256|Item:Largest Mipmap:4 x 4|"
                                     "1 1 1 9 1100110111 10";
    QTest::newRow("one mipmap")
        << "4x4|Mipmap Count...|1 x 1|Item:Largest Mipmap:4 x 4|1 1 1 1 1100110100 2";
}

void TestVVTFCommands::structure()
{
    QFETCH(QString, row);
    const QStringList part = row.split('|');
    VVTF window(texture(part[0]));
    PromptScript script;
    CPrompt::Answer answer;
    answer.ok = true, answer.text = part[2], answer.value = part[2].toInt();
    script.then(answer);
    trigger(window, part[1]);
    QCOMPARE(asked(script), part[3]);
    QCOMPARE(structureState(window), part[4]);
}

void TestVVTFCommands::panelFields_data()
{
    // The texture (with "lod" or "ts0" switched on first), the field, the
    // texts entered one after the other, what the field then shows, and
    // whether the window is modified.
    QTest::addColumn<QString>("row");
    QTest::newRow("bumpmap above 1") << "4x4|bumpmapEdit|2.5|1|1";
    QTest::newRow("bumpmap below 0") << "4x4|bumpmapEdit|-3|0|1";
    QTest::newRow("bumpmap inside") << "4x4|bumpmapEdit|0.25|0.25|1";
    QTest::newRow("reflectivity above 1") << "4x4|reflectivityRedEdit|7|1|1";
    QTest::newRow("reflectivity junk") << "4x4|reflectivityGreenEdit|nan|0.5|0";
    QTest::newRow("first frame") << "4x4 frames:4|firstFrameEdit|9|3|1";
    QTest::newRow("first frame of a cube map") << "4x4 faces:6|firstFrameEdit|9|65535|1";
    QTest::newRow("first frame negative") << "4x4 frames:4|firstFrameEdit|-1|0|0";
    QTest::newRow("clamp above a byte") << "4x4 lod|lodClampX|300|255|1";
    QTest::newRow("clamp without entry") << "4x4|lodClampY|12|12|0";
    QTest::newRow("settings hex") << "4x4 ts0|textureSettingsEdit|ff|0xFF|1";
    QTest::newRow("settings 0x") << "4x4 ts0|textureSettingsEdit|0xff|0xFF|1";
    QTest::newRow("settings junk") << "4x4 ts0|textureSettingsEdit|ff;0xzz|0xFF|1";
}

void TestVVTFCommands::panelFields()
{
    QFETCH(QString, row);
    const QStringList part = row.split('|');
    QString setup = part[0];
    VVTF window(texture(setup.remove(QLatin1String(" lod")).remove(QLatin1String(" ts0"))));
    for (QGroupBox *group : {window.lodGroup, window.textureSettingsGroup}) {
        if (part[0].endsWith(group == window.lodGroup ? " lod" : " ts0")) {
            group->setChecked(true);
            emit group->clicked(true);
        }
    }
    QCOMPARE(window.textureSettingsEdit->text() + window.lodClampY->text(),
             part[0].endsWith(" ts0")   ? QStringLiteral("0x00000000")
             : part[0].endsWith(" lod") ? QStringLiteral("30")
                                        : QString());
    window.setWindowModified(false);

    QString shown;
    for (const QString &text : part[2].split(';'))
        shown = type(window, part[1], text);
    QCOMPARE(shown + '|' + bits({window.isWindowModified()}), part[3] + '|' + part[4]);
}

void TestVVTFCommands::flagsAndVersion()
{
    VVTF window(new CFileVTF(4, 4));
    CFileVTF &document = *window.document();
    const quint32 flags = document.flags();
    // The alpha and environment-map flags follow the format and the faces.
    for (int row : {12, 13, 14})
        emit window.flagList->itemClicked(window.flagList->item(row));
    QVERIFY(document.flags() == flags && !window.isWindowModified());
    emit window.flagList->itemClicked(window.flagList->item(7));
    QVERIFY(document.flags() == (flags | 0x80) && window.isWindowModified());
    QCOMPARE(window.flagList->item(7)->background().color(), QColor(192, 255, 192));

    emit window.versionBox->activated(2);
    QVERIFY(!window.tabs->isTabEnabled(4) && document.minorVersion() == 2);
    emit window.versionBox->activated(3);
    QVERIFY(window.tabs->isTabEnabled(4));
}

void TestVVTFCommands::replaceImage_data()
{
    // What replaces the 64 x 64 image (a picture file of a side, a file that
    // is no picture, or the clipboard while the thumbnail shows), the filter
    // answer, then the questions asked and the image's first pixel.
    QTest::addColumn<QString>("row");
    QTest::newRow("same size") << "64|Mitchell|Open|0ac81eff";
    QTest::newRow("larger") << "512|Mitchell|Open Item:Resample Filter:Mitchell|0ac81eff";
    QTest::newRow("filter cancelled") << "512||Open Item:Resample Filter:Mitchell|00000000";
    QTest::newRow("no picture") << "0||Open Box:Read Error: Unable to read|00000000";
    QTest::newRow("paste over the thumbnail")
        << "paste 16|Point|Item:Resample Filter:Mitchell|0ac81eff";
}

void TestVVTFCommands::replaceImage()
{
    QFETCH(QString, row);
    const QStringList part = row.split('|');
    const bool paste = part[0].startsWith(QLatin1String("paste"));
    const int side = part[0].section(' ', -1).toInt();
    const QString path = m_dir.filePath(QStringLiteral("picture.png"));
    QImage picture(side, side, QImage::Format_ARGB32);
    picture.fill(qRgba(10, 200, 30, 255));
    QVERIFY(side > 0 ? picture.save(path) : CSaveFile::writeAll(path, "not a picture"));
    if (paste)
        QGuiApplication::clipboard()->setImage(picture);

    VVTF window(new CFileVTF(64, 64));
    PromptScript script;
    if (!paste)
        script.files({path});
    if (!part[1].isEmpty())
        script.text(part[1]);
    if (paste) {
        QVERIFY(window.actionPaste->isEnabled());
        window.vtfShowThumbnail();
        window.actionPaste->trigger();
        QVERIFY(!window.imageShown());
    } else {
        // Right-clicked on the largest mipmap, a leaf where one image stands.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTreeWidgetItem *largest = window.imageTree->topLevelItem(7);
        window.imageTree->scrollToItem(largest);
        emit window.imageTree->customContextMenuRequested(
            window.imageTree->visualItemRect(largest).center());
        window.treeMenu->close();
        QVERIFY(window.treeActionFromFile->isEnabled() && !window.treeActionPaste->isEnabled());
        window.treeActionFromFile->trigger();
    }
    QCOMPARE(asked(script), part[2]);
    QByteArray rgba;
    QVERIFY(window.document()->decodeImage(6, 0, 0, 0, rgba));
    QCOMPARE(rgba.left(4).toHex(), part[3].toLatin1());
    QCOMPARE(window.isWindowModified(), part[3] != QLatin1String("00000000"));
}

void TestVVTFCommands::editSaveReopenExport()
{
    // A hand-made 8 x 8 texture of four levels, each a grey with its own alpha.
    const QString path = m_dir.filePath(QStringLiteral("rock.vtf"));
    QVERIFY(CSaveFile::writeAll(path, VTFFixture::from("side:8 mips:4").build()));

    QString out;
    std::function<void(QDialog *)> fillRange;
    PromptScript script;
    script.answer = [&](const CPrompt::Request &r) {
        CPrompt::Answer a;
        a.ok = true;
        a.text = r.text == QLatin1String("Largest Mipmap:") ? QStringLiteral("4 x 4")
                 : r.kind == CPrompt::Kind::Item            ? r.items.value(r.current)
                                                            : out;
        if (r.kind == CPrompt::Kind::Exec && fillRange)
            fillRange(r.dialog);
        a.result = QDialog::Accepted;
        a.button = QMessageBox::Ok;
        return a;
    };

    // Three levels, DXT5, saved over the file; reopened in a new editor.
    VVTF window(path);
    window.actionMipmapCount->trigger();
    emit window.imageFormatBox->activated(IMAGE_FORMAT_DXT5);
    window.actionSave->trigger();
    QVERIFY(!window.isWindowModified());
    VVTF reopened(path);
    QCOMPARE(reopened.document()->mipmapCount(), 3);
    QCOMPARE(reopened.imageFormatBox->currentIndex(), int(IMAGE_FORMAT_DXT5));

    // Exported as PNG, smallest level first; an outside reader sees each
    // level's side, grey (within DXT's rounding) and alpha.
    const auto grey = [](int level) { return int(quint8(VTFFixture::pixelByte(level, 0, 0, 0))); };
    const QDir dir(m_dir.filePath(QStringLiteral("out")));
    QVERIFY(dir.mkpath(QStringLiteral(".")));
    out = dir.path();
    reopened.actionExport->trigger();
    QCOMPARE(dir.entryList(QDir::Files),
             (QStringList{"rock_0_0_0_0.png", "rock_1_0_0_0.png", "rock_2_0_0_0.png"}));
    for (int level = 0; level < 3; ++level) {
        QList<int> seen =
            seenByMagick(dir.filePath(QStringLiteral("rock_%1_0_0_0.png").arg(level)));
        QVERIFY2(qAbs(seen[2] - grey(level)) <= 4, qPrintable(QString::number(seen[2])));
        seen[2] = grey(level);
        QCOMPARE(seen, QList<int>({1 << level, 1 << level, grey(level), grey(level)}));
    }
    // A cubemap's HDR twin is named up to its last suffix, beside the other.
    const QString twin = m_dir.filePath(QStringLiteral("rock.hdr.vtf"));
    QVERIFY(QFile::copy(path, twin));
    VVTF hdr(twin);
    QCOMPARE(hdr.windowTitle(), QStringLiteral("rock.hdr[*]"));
    hdr.actionExport->trigger();
    QCOMPARE(dir.entryList(QDir::Files).size(), 6);
    QVERIFY(dir.exists(QStringLiteral("rock.hdr_2_0_0_0.png")));

    // A reversed range asks its questions and writes nothing.
    const QDir reversed(m_dir.filePath(QStringLiteral("reversed")));
    QVERIFY(reversed.mkpath(QStringLiteral(".")));
    out = reversed.path();
    fillRange = [](QDialog *dialog) {
        auto *range = dialog->findChild<VVTFImageRangeWidget *>();
        range->mipmapStartBox->setCurrentIndex(2);
        range->mipmapEndBox->setCurrentIndex(0);
    };
    script.asked.clear();
    reopened.actionExport->trigger();
    QVERIFY(script.asked.size() == 3 && reversed.entryList(QDir::Files).isEmpty());

    // A single image, through one save question.
    VVTF single(new CFileVTF(1, 1));
    out = m_dir.filePath(QStringLiteral("single.png"));
    fillRange = nullptr;
    single.actionExport->trigger();
    QCOMPARE(script.asked.last().title, QStringLiteral("Save Image"));
    QCOMPARE(QImage(out).size(), QSize(1, 1));
    // A slice it lacks is said, and nothing is asked or written.
    fillRange = [](QDialog *dialog) {
        auto *range = dialog->findChild<VVTFImageRangeWidget *>();
        for (QLineEdit *edit : {range->sliceStartEdit, range->sliceEndEdit}) {
            edit->setText("3");
            emit edit->editingFinished();
        }
    };
    script.asked.clear();
    single.actionExport->trigger();
    QCOMPARE(script.texts().last().section('|', 1),
             "Export Error: Unable to decode mipmap 0, frame 0, face 0, slice 3");
    QCOMPARE(script.count(CPrompt::Kind::SaveFileName), 0);
}

void TestVVTFCommands::exportChosenImage_data()
{
    // The format, the View entries, then the 4 x 4 level of an 8 x 8
    // texture of two levels as stored and as decoded by hand: one DXT5 block
    // of alphas 231, 21 and the six exact ones between, odd pixels blue;
    // BGRA8888 pixels of four alphas.
    QTest::addColumn<QString>("row");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("rgba");
    const QByteArray dxt = QByteArray::fromHex("e71588c6fa88c6fa00f81f0044444444");
    const QByteArray dxtRgba = QByteArray::fromHex("ff0000e70000ff15ff0000c90000ffab"
                                                   "ff00008d0000ff6fff0000510000ff33");
    const QByteArray bgra = QByteArray::fromHex("1020304050607080a0b0c0d0e0f0ffff");
    const QByteArray bgraRgba = QByteArray::fromHex("3020104070605080c0b0a0d0fff0e0ff");
    QTest::newRow("DXT5") << "format:15|" << dxt << dxtRgba.repeated(2);
    QTest::newRow("DXT5 masked") << "format:15|Mask" << dxt << dxtRgba.repeated(2);
    QTest::newRow("BGRA8888") << "format:12|" << bgra.repeated(4) << bgraRgba.repeated(4);
    QTest::newRow("BGRA8888 masked")
        << "format:12|Mask" << bgra.repeated(4) << bgraRgba.repeated(4);
}

void TestVVTFCommands::exportChosenImage()
{
    QFETCH(QString, row);
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, rgba);
    // The 4 x 4 level chosen while the 8 x 8 one shows, the smallest first.
    const QString path = m_dir.filePath(QStringLiteral("chosen.vtf"));
    const QByteArray header =
        VTFFixture::from("side:8 mips:2 bpp:0 " + row.section('|', 0, 0)).build();
    QVERIFY(CSaveFile::writeAll(path, header + stored + stored.repeated(4)));
    VVTF window(path);
    trigger(window, row.section('|', 1));
    const QString out = m_dir.filePath(QStringLiteral("chosen.png"));
    PromptScript script;
    script
        .accept([](QDialog *dialog) {
            auto *range = dialog->findChild<VVTFImageRangeWidget *>();
            range->mipmapStartBox->setCurrentIndex(0), range->mipmapEndBox->setCurrentIndex(0);
        })
        .files({out});
    window.actionExport->trigger();
    QSize size;
    QCOMPARE(readByMagick(out, size).toHex(), rgba.toHex());
    QVERIFY(size == QSize(4, 4) && script.count(CPrompt::Kind::SaveFileName) == 1);
}

VTF_TEST_MAIN(TestVVTFCommands, QApplication, initResources())

#include "tst_vvtfcommands.moc"
