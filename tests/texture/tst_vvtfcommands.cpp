#include "VTFFixture.h"
#include "VVTFFixture.h"
#include "VVTFImageRangeWidget.h"
#include "initResources.h"

#include <Magick++.h>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

// The texture editor's commands driven through its menus and fields:
// saving, copying, reshaping, the information panel, replacing an image from
// a file, and exporting (judged by ImageMagick's identify).
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

private:
    QTemporaryDir m_dir;
};

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// "rrggbbaa" of a pixel.
QString rgbaText(QRgb p)
{
    return QString::asprintf("%02x%02x%02x%02x", qRed(p), qGreen(p), qBlue(p), qAlpha(p));
}

bool shows(const QAction *action, const char *iconName)
{
    const QImage expected =
        QIcon(QStringLiteral(":/resources/icons/") + QLatin1String(iconName)).pixmap(16).toImage();
    return action->icon().pixmap(16).toImage() == expected;
}

QString bit(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// Counts (faces frames slices mipmaps), modified, the ticked face-count
// entries, "Slice Count...", "First Frame:", both spheremap and both
// mipmap entries, the "Face Count" menu and the tree's top-level items.
QString structureState(const VVTF &w)
{
    const CFileVTF &d = *w.document();
    return QStringLiteral("%1 %2 %3 %4|")
               .arg(d.faceCount())
               .arg(d.frameCount())
               .arg(d.sliceCount())
               .arg(d.mipmapCount()) +
           bit(w.isWindowModified()) + '|' + bit(shows(w.actionFacesOne, "tick.png")) +
           bit(shows(w.actionFacesSix, "tick.png")) + bit(shows(w.actionFacesSeven, "tick.png")) +
           '|' + bit(w.actionSliceCount->isEnabled()) + bit(w.firstFrameEdit->isEnabled()) + '|' +
           bit(w.actionGenerateSpheremaps->isEnabled()) +
           bit(w.treeActionGenerateSpheremaps->isEnabled()) +
           bit(w.actionGenerateMipmaps->isEnabled()) +
           bit(w.treeActionGenerateMipmaps->isEnabled()) + bit(w.menuFaceCount->isEnabled()) + '|' +
           QString::number(w.imageTree->topLevelItemCount());
}

// ImageMagick's view of a picture: "width height red alpha" of its first
// pixel, or empty when identify is not installed.
QString identify(const QString &path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("identify"));
    if (tool.isEmpty())
        return QString();
    QProcess process;
    process.start(tool, {QStringLiteral("-format"),
                         QStringLiteral("%w %h %[fx:int(255*p{0,0}.r+0.5)] "
                                        "%[fx:int(255*p{0,0}.a+0.5)]"),
                         path});
    process.waitForFinished(-1);
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}
} // namespace

void TestVVTFCommands::saving()
{
    QVERIFY(m_dir.isValid());
    PromptScript script;
    QString savePath;
    QMessageBox::StandardButton closeAnswer = QMessageBox::Save;
    script.answer = [&](const CPrompt::Request &) {
        CPrompt::Answer a;
        a.ok = !savePath.isEmpty();
        a.text = savePath;
        // The closing question is a message box run through exec().
        a.result = closeAnswer;
        a.button = QMessageBox::Ok;
        return a;
    };
    QPointer<VVTF> window = new VVTF(new CFileVTF(4, 4));
    window->setWindowModified(true);

    // A new texture asks for a path; cancelled, nothing changes.
    window->actionSave->trigger();
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(script.asked[0].title + '|' + script.asked[0].filter,
             QStringLiteral("Save As|Valve Texture File (*.vtf)"));
    QVERIFY(window->isWindowModified());

    const QString first = m_dir.filePath(QStringLiteral("first.vtf"));
    const QString second = m_dir.filePath(QStringLiteral("second.vtf"));
    savePath = first;
    window->actionSave->trigger();
    QVERIFY(QFile::exists(first) && !window->isWindowModified());
    QCOMPARE(window->windowTitle(), QStringLiteral("first[*]"));

    // Save As, then Save: both write the second file.
    savePath = second;
    window->actionSaveAs->trigger();
    QCOMPARE(window->windowTitle(), QStringLiteral("second[*]"));
    QVERIFY(QFile::remove(first) && QFile::remove(second));
    window->setWindowModified(true);
    const int asked = script.asked.size();
    window->actionSave->trigger();
    QCOMPARE(script.asked.size(), asked);
    QVERIFY(QFile::exists(second) && !QFile::exists(first) && !window->isWindowModified());

    // A copy keeps title, path and mark.
    window->setWindowModified(true);
    savePath = m_dir.filePath(QStringLiteral("copy.vtf"));
    window->actionSaveCopyAs->trigger();
    QCOMPARE(script.asked.last().title, QStringLiteral("Save Copy As"));
    QString error;
    std::unique_ptr<CFileVTF> copy(CFileVTF::fromFile(savePath, error));
    QVERIFY2(copy && copy->width() == 4 && copy->mipmapCount() == 3, qPrintable(error));
    QCOMPARE(window->windowTitle() + window->document()->toString(),
             QStringLiteral("second[*]") + second);
    QVERIFY(window->isWindowModified());

    // A folder nobody may write to (and, as root ignores that, a name too
    // long for any temporary file beside it): a warning, and the old file as
    // it was.
    QTemporaryDir locked;
    const QString stuck = locked.filePath(QString(248, QLatin1Char('r')) + ".vtf");
    QVERIFY(writeAll(stuck, "old texture"));
    QFile::setPermissions(stuck, QFile::ReadOwner);
    QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
    window->document()->setPath(stuck, true);
    window->actionSave->trigger();
    QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(script.asked.last().kind, CPrompt::Kind::Warning);
    QVERIFY2(script.asked.last().text.startsWith("Write Error: Unable to ") &&
                 script.asked.last().text.contains('"' + stuck + "\" ("),
             qPrintable(script.asked.last().text));
    QCOMPARE(readAll(stuck), QByteArray("old texture"));
    QVERIFY(window->isWindowModified());

    // Close, Save, and the path question cancelled: the window stays.
    delete window;
    window = new VVTF(new CFileVTF(4, 4));
    window->setWindowModified(true);
    savePath.clear();
    script.asked.clear();
    QVERIFY(!window->close());
    QCOMPARE(script.asked.size(), 2);
    QVERIFY(script.asked[1].kind == CPrompt::Kind::SaveFileName);
    QVERIFY(window->isWindowModified());
    closeAnswer = QMessageBox::Discard;
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
    QTest::newRow("green") << "4x4|Green|3|646464ff";
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
    for (QAction *action : window.menuView->actions())
        if (!part[1].isEmpty() && part[1].contains(action->text()))
            action->trigger();
    QGuiApplication::clipboard()->clear();
    QVERIFY(!window.actionPaste->isEnabled());

    window.vtfResolveTreeItem(window.imageTree->topLevelItem(part[2].toInt()));
    window.treeActionCopy->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.isNull() ? QStringLiteral("none") : rgbaText(copied.pixel(0, 0)), part[3]);
    // The paste entries follow the clipboard.
    QCOMPARE(window.actionPaste->isEnabled(), !copied.isNull());
    QCOMPARE(window.treeActionPaste->isEnabled(), !copied.isNull());
}

void TestVVTFCommands::structure_data()
{
    // The texture, the command and the answer, the warning shown (if any),
    // the item or number offered first, then the state afterwards (see
    // structureState).
    QTest::addColumn<QString>("row");
    QTest::newRow("envmap not square") << "8x4|six||Request Error: Envmaps must be square||"
                                          "1 1 1 4|0|100|11|01110|5";
    QTest::newRow("envmap") << "4x4|six||||6 1 1 3|1|010|00|11111|4";
    QTest::newRow("back to one face") << "4x4 faces:7|one||||1 1 1 3|1|100|11|00111|4";
    QTest::newRow("65536 frames") << "4x4|frames|65536|Request Error: Invalid frame count|1|"
                                     "1 1 1 3|0|100|11|01111|4";
    QTest::newRow("three frames") << "4x4|frames|3||1|1 3 1 3|1|100|11|01111|4";
    QTest::newRow("65536 slices") << "4x4 slices:4|slices|65536|Request Error: Invalid slice "
                                     "count|4|1 1 4 3|0|100|11|01110|4";
    QTest::newRow("one slice") << "4x4 slices:4|slices|1||4|1 1 1 3|1|100|11|01111|4";
    QTest::newRow("nine mipmaps") << "4x4|mipmaps|256 x 256||4 x 4|1 1 1 9|1|100|11|01111|10";
    QTest::newRow("one mipmap") << "4x4|mipmaps|1 x 1||4 x 4|1 1 1 1|1|100|11|01001|2";
}

void TestVVTFCommands::structure()
{
    QFETCH(QString, row);
    const QStringList part = row.split('|');
    VVTF window(texture(part[0]));
    PromptScript script;
    script.answer = [&](const CPrompt::Request &) {
        CPrompt::Answer a;
        a.ok = true;
        a.text = part[2];
        a.value = part[2].toInt();
        a.button = QMessageBox::Ok;
        return a;
    };
    const QString command = part[1];
    QAction *action = command == "six"      ? window.actionFacesSix
                      : command == "one"    ? window.actionFacesOne
                      : command == "frames" ? window.actionFrameCount
                      : command == "slices" ? window.actionSliceCount
                                            : window.actionMipmapCount;
    action->trigger();

    QString offered, warning;
    for (const CPrompt::Request &r : script.asked) {
        if (r.kind == CPrompt::Kind::Item)
            offered = r.items.value(r.current);
        else if (r.kind == CPrompt::Kind::Int)
            offered = QString::number(r.value);
        else if (r.kind == CPrompt::Kind::Warning)
            warning = r.title + ':' + r.text;
    }
    QCOMPARE(warning, part[3].isEmpty() ? QString() : window.windowTitle() + ':' + part[3]);
    QCOMPARE(offered, part[4]);
    QCOMPARE(structureState(window), QStringList(part.mid(5)).join('|'));
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
    QTest::newRow("reflectivity junk") << "4x4|reflectivityGreenEdit|abc|0.5|0";
    QTest::newRow("first frame") << "4x4 frames:4|firstFrameEdit|9|3|1";
    QTest::newRow("first frame of a cube map") << "4x4 faces:6|firstFrameEdit|9|65535|1";
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
    const bool lod = setup.endsWith(QLatin1String(" lod"));
    const bool ts0 = setup.endsWith(QLatin1String(" ts0"));
    setup.remove(QLatin1String(" lod")).remove(QLatin1String(" ts0"));
    VVTF window(texture(setup));
    for (QGroupBox *group :
         {lod ? window.lodGroup : nullptr, ts0 ? window.textureSettingsGroup : nullptr}) {
        if (!group)
            continue;
        group->setChecked(true);
        emit group->clicked(true);
    }
    if (ts0)
        QCOMPARE(window.textureSettingsEdit->text(), QStringLiteral("0x00000000"));
    if (lod)
        QCOMPARE(window.lodClampY->text(), QStringLiteral("30"));
    window.setWindowModified(false);

    auto *edit = window.findChild<QLineEdit *>(part[1]);
    QVERIFY(edit);
    for (const QString &text : part[2].split(';')) {
        edit->setText(text);
        emit edit->editingFinished();
    }
    QCOMPARE(edit->text(), part[3]);
    QCOMPARE(window.isWindowModified(), part[4] == "1");
}

void TestVVTFCommands::flagsAndVersion()
{
    VVTF window(new CFileVTF(4, 4));
    CFileVTF &document = *window.document();
    const quint32 flags = document.flags();
    // "One Bit Alpha", "Eight Bit Alpha" and "Environment Map" follow the
    // format and the faces: clicks change nothing.
    for (int row : {12, 13, 14})
        emit window.flagList->itemClicked(window.flagList->item(row));
    QCOMPARE(document.flags(), flags);
    QVERIFY(!window.isWindowModified());

    emit window.flagList->itemClicked(window.flagList->item(7));
    QCOMPARE(document.flags(), flags | 0x80);
    QCOMPARE(window.flagList->item(7)->background().color(), QColor(192, 255, 192));
    QVERIFY(window.isWindowModified());

    emit window.versionBox->activated(2);
    QVERIFY(!window.tabs->isTabEnabled(4));
    QCOMPARE(document.minorVersion(), 2u);
    emit window.versionBox->activated(3);
    QVERIFY(window.tabs->isTabEnabled(4));
}

void TestVVTFCommands::replaceImage_data()
{
    // What replaces the 64 x 64 image (a picture file of a size, a file that
    // is no picture, or the clipboard while the thumbnail shows), the filter
    // answer, then the questions asked and the image's first pixel.
    QTest::addColumn<QString>("row");
    QTest::newRow("same size") << "64|Mitchell|OpenFileName|0ac81eff";
    QTest::newRow("larger") << "512|Mitchell|OpenFileName Item:Resample Filter::Mitchell|0ac81eff";
    QTest::newRow("filter cancelled")
        << "512||OpenFileName Item:Resample Filter::Mitchell|00000000";
    QTest::newRow("no picture") << "junk||OpenFileName Information:Read Error: Unable to read|"
                                   "00000000";
    QTest::newRow("paste over the thumbnail")
        << "paste 16|Point|Item:Resample Filter::Mitchell|0ac81eff";
}

void TestVVTFCommands::replaceImage()
{
    QFETCH(QString, row);
    const QStringList part = row.split('|');
    const QString source = part[0];
    const QString path = m_dir.filePath(QStringLiteral("picture.png"));
    const QImage picture(QSize(source.section(' ', -1).toInt(), source.section(' ', -1).toInt()),
                         QImage::Format_ARGB32);
    if (source == QLatin1String("junk")) {
        QVERIFY(writeAll(path, "not a picture"));
    } else {
        QImage filledPicture = picture;
        filledPicture.fill(qRgba(10, 200, 30, 255));
        QVERIFY(filledPicture.save(path));
        if (source.startsWith(QLatin1String("paste")))
            QGuiApplication::clipboard()->setImage(filledPicture);
    }

    VVTF window(new CFileVTF(64, 64));
    PromptScript script;
    script.answer = [&](const CPrompt::Request &r) {
        CPrompt::Answer a;
        a.ok = r.kind == CPrompt::Kind::OpenFileName || !part[1].isEmpty();
        a.text = r.kind == CPrompt::Kind::OpenFileName ? path : part[1];
        a.button = QMessageBox::Ok;
        return a;
    };
    if (source.startsWith(QLatin1String("paste"))) {
        QVERIFY(window.actionPaste->isEnabled());
        window.vtfShowThumbnail();
        window.actionPaste->trigger();
        QVERIFY(!window.imageShown());
    } else {
        // Right-clicked on the largest mipmap, a leaf of a one-image level.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTreeWidgetItem *largest = window.imageTree->topLevelItem(7);
        QCOMPARE(largest->text(0), QStringLiteral("64 x 64"));
        window.imageTree->scrollToItem(largest);
        emit window.imageTree->customContextMenuRequested(
            window.imageTree->visualItemRect(largest).center());
        window.treeMenu->close();
        QVERIFY(window.treeActionFromFile->isEnabled() && !window.treeActionPaste->isEnabled());
        window.treeActionFromFile->trigger();
    }

    QStringList asked;
    for (const CPrompt::Request &r : script.asked) {
        const QString entry = r.kind == CPrompt::Kind::OpenFileName ? QStringLiteral("OpenFileName")
                              : r.kind == CPrompt::Kind::Item
                                  ? "Item:" + r.text + ':' + r.items.value(r.current)
                                  : "Information:" + r.text.section(" \"", 0, 0);
        asked << entry;
    }
    QCOMPARE(asked.join(' '), part[2]);
    QByteArray rgba;
    QVERIFY(window.document()->decodeImage(6, 0, 0, 0, rgba));
    QCOMPARE(rgba.left(4).toHex(), part[3].toLatin1());
    QCOMPARE(window.isWindowModified(), part[3] != QLatin1String("00000000"));
}

void TestVVTFCommands::editSaveReopenExport()
{
    // A hand-made 8 x 8 texture of four levels, each a grey with its own alpha.
    VTFFixture fixture;
    fixture.width = fixture.height = 8;
    fixture.mips = 4;
    const QString path = m_dir.filePath(QStringLiteral("rock.vtf"));
    QVERIFY(writeAll(path, fixture.build()));

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

    // Three levels, DXT5, saved over the file.
    VVTF window(path);
    window.actionMipmapCount->trigger();
    emit window.imageFormatBox->activated(IMAGE_FORMAT_DXT5);
    window.actionSave->trigger();
    QVERIFY(!window.isWindowModified());

    // The file reopens in a new editor as it was left.
    VVTF reopened(path);
    const CFileVTF &document = *reopened.document();
    QCOMPARE(document.mipmapCount(), 3);
    QCOMPARE(document.highResImageFormat(), IMAGE_FORMAT_DXT5);
    QCOMPARE(reopened.imageFormatBox->currentIndex(), int(IMAGE_FORMAT_DXT5));
    for (int level = 0; level < 3; ++level) {
        QByteArray rgba;
        QVERIFY(document.decodeImage(level, 0, 0, 0, rgba));
        const int grey = quint8(VTFFixture::pixelByte(level, 0, 0, 0));
        QVERIFY2(qAbs(quint8(rgba[0]) - grey) <= 4 && quint8(rgba[3]) == grey,
                 qPrintable(rgba.left(4).toHex()));
    }

    // Exported as PNG, smallest level first, alpha kept.
    const QDir dir(m_dir.filePath(QStringLiteral("out")));
    QVERIFY(dir.mkpath(QStringLiteral(".")));
    out = dir.path();
    reopened.actionExport->trigger();
    QCOMPARE(dir.entryList(QDir::Files),
             (QStringList{"rock_0_0_0_0.png", "rock_1_0_0_0.png", "rock_2_0_0_0.png"}));
    for (int level = 0; level < 3; ++level) {
        const QImage exported(dir.filePath(QStringLiteral("rock_%1_0_0_0.png").arg(level)));
        const int side = 1 << level;
        QCOMPARE(exported.size(), QSize(side, side));
        QCOMPARE(qAlpha(exported.pixel(0, 0)), int(quint8(VTFFixture::pixelByte(level, 0, 0, 0))));
    }

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
    QCOMPARE(script.asked.size(), 3);
    QVERIFY(reversed.entryList(QDir::Files).isEmpty());

    // An outside reader agrees on sides, colour and alpha.
    for (int level = 0; level < 3; ++level) {
        const QString seen = identify(dir.filePath(QStringLiteral("rock_%1_0_0_0.png").arg(level)));
        if (seen.isEmpty())
            QSKIP("ImageMagick's identify is not installed");
        const QStringList n = seen.split(' ');
        const int side = 1 << level;
        const int grey = quint8(VTFFixture::pixelByte(level, 0, 0, 0));
        QVERIFY2(n.size() == 4 && n[0].toInt() == side && n[1].toInt() == side &&
                     qAbs(n[2].toInt() - grey) <= 4 && n[3].toInt() == grey,
                 qPrintable(seen));
    }

    // A single image: the picture as shown, through one save question; a
    // write that fails says why.
    VVTF single(new CFileVTF(1, 1));
    out = m_dir.filePath(QStringLiteral("single.png"));
    script.asked.clear();
    fillRange = nullptr;
    single.actionExport->trigger();
    QCOMPARE(script.asked.last().title, QStringLiteral("Save Image"));
    QCOMPARE(QImage(out).size(), QSize(1, 1));
    out = m_dir.filePath(QStringLiteral("missing/single.png"));
    single.actionExport->trigger();
    QCOMPARE(script.asked.last().kind, CPrompt::Kind::Information);
}

int main(int argc, char **argv)
{
    Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);
    QApplication app(argc, argv);
    initResources();
    TestVVTFCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vvtfcommands.moc"
