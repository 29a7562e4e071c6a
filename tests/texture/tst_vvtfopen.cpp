#include "VTFFixture.h"
#include "VVTFFixture.h"
#include "VVTFNewImageWidget.h"

#include <Magick++.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

// How a texture editor gets its document: opening a file, a new texture and
// an import from image files, and where a second document goes.
class TestVVTFOpen : public QObject
{
    Q_OBJECT

private slots:
    void openFailures_data();
    void openFailures();
    void openFile_data();
    void openFile();
    void newTexture();
    void import_data();
    void import();

private:
    QTemporaryDir m_dir;
};

namespace {
// Answers the file question with `path`, the dialog with Ok (after `fill`
// had the dialog) or Cancel, and every message box with Ok.
std::function<CPrompt::Answer(const CPrompt::Request &)>
answers(const QString &path, bool accept, const std::function<void(QDialog *)> &fill = {})
{
    return [=](const CPrompt::Request &r) {
        CPrompt::Answer a;
        a.ok = r.kind == CPrompt::Kind::OpenFileName && !path.isEmpty();
        a.text = path;
        a.button = QMessageBox::Ok;
        if (r.kind == CPrompt::Kind::Exec && fill)
            fill(r.dialog);
        a.result = accept ? QDialog::Accepted : QDialog::Rejected;
        return a;
    };
}

// A TIFF file of 16 x 16 pages, written by ImageMagick.
void writeTiff(const QString &path, int pages)
{
    std::vector<Magick::Image> images;
    for (int i = 0; i < pages; ++i)
        images.emplace_back(Magick::Geometry(16, 16), Magick::ColorRGB(i / 8.0, 0.5, 0.25));
    Magick::writeImages(images.begin(), images.end(), path.toStdString());
}
} // namespace

void TestVVTFOpen::openFailures_data()
{
    // The file (a missing file, a folder, a picture) and the message.
    QTest::addColumn<QString>("row");
    QTest::newRow("missing") << "missing.vtf|Read Error: File does not exist";
    QTest::newRow("folder") << "folder.vtf|Read Error: Unable to open device";
    QTest::newRow("picture") << "picture.vtf|File Error: Magic number mismatch";
}

void TestVVTFOpen::openFailures()
{
    QFETCH(QString, row);
    const QString name = row.section('|', 0, 0);
    const QString error = row.section('|', 1);

    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(name);
    QFile file(path);
    QVERIFY(name.startsWith(QLatin1String("folder")) ? QDir(m_dir.path()).mkpath(name)
            : name.startsWith(QLatin1String("picture"))
                ? file.open(QIODevice::WriteOnly) && file.write("\x89PNG\r\n\x1a\n") > 0
                : true);
    file.close();
    PromptScript script;
    script.answer = answers(path, false);
    VVTF window(path);
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(script.asked[0].kind, CPrompt::Kind::Information);
    QCOMPARE(script.asked[0].title + '|' + script.asked[0].text, "VTF Editor|" + error);
    QVERIFY(!window.document());
    QCOMPARE(window.windowTitle(), QStringLiteral("VTF Editor"));

    // "Open..." asks for a path and, refused again, leaves the window as it was.
    window.actionOpen->trigger();
    QCOMPARE(script.asked.size(), 3);
    QCOMPARE(script.asked[1].title + '|' + script.asked[1].filter,
             QStringLiteral("Open VTF|Valve Texture File (*.vtf)"));
    QVERIFY(!window.document());
}

void TestVVTFOpen::openFile_data()
{
    // Changes to a 4 x 4 RGBA8888 file of three levels at 7.3, then: title,
    // HDR sliders, "Resources" tab, CRC, LOD clamps, TS0, KVD and the first
    // shown pixel's blue.
    QTest::addColumn<QString>("row");
    QTest::newRow("plain") << "|rock[*] 0 1 Absent ;;;  Absent 81";
    QTest::newRow("resources")
        << "crc lod ts0 kvd|rock[*] 0 1 0xDEADBEEF 30;30;30;30 0x7 Present 81";
    QTest::newRow("7.2") << "minor2|rock[*] 0 0 Absent ;;;  Absent 81";
    QTest::newRow("float") << "float|rock[*] 1 1 Absent ;;;  Absent d5";
    // A palette image cannot be decoded: the picture is blank, at its size.
    QTest::newRow("palette") << "palette|rock[*] 0 1 Absent ;;;  Absent 0";
}

void TestVVTFOpen::openFile()
{
    QFETCH(QString, row);
    const QString file = row.section('|', 0, 0);

    VTFFixture fixture;
    fixture.crc = file.contains(QLatin1String("crc"));
    fixture.lod = file.contains(QLatin1String("lod"));
    fixture.ts0 = file.contains(QLatin1String("ts0"));
    if (file.contains(QLatin1String("kvd")))
        fixture.keyValues = QByteArray("\"key\" \"value\"");
    if (file.contains(QLatin1String("minor2")))
        fixture.minor = 2;
    const bool wide = file == QLatin1String("float");
    const bool palette = file == QLatin1String("palette");
    fixture.format = wide ? IMAGE_FORMAT_RGBA16161616F : palette ? IMAGE_FORMAT_P8 : 0;
    fixture.bytesPerPixel = wide ? 8 : palette ? 1 : 4;
    const QString path = m_dir.filePath(QStringLiteral("rock.vtf"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(fixture.build()) > 0);
    out.close();

    TextureMainWindow main;
    PromptScript script;
    VVTF window{QString()};
    script.answer = answers(path, true);
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
    QVERIFY(script.asked.size() == 2);
}

void TestVVTFOpen::newTexture()
{
    TextureMainWindow main;
    PromptScript script;
    VVTF window{QString()};
    script.answer = answers(QString(), false);
    window.actionNew->trigger();
    QVERIFY(!window.document());

    const auto sized = [](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("New VTF"));
        dialog->findChild<QComboBox *>("newWidth")->setCurrentIndex(3);
        dialog->findChild<QComboBox *>("newHeight")->setCurrentIndex(5);
    };
    script.answer = answers(QString(), true, sized);
    window.actionNew->trigger();
    CFileVTF *first = window.document();
    QVERIFY(first);
    QCOMPARE(QSize(first->width(), first->height()), QSize(8, 32));
    QCOMPARE(window.windowTitle(), QStringLiteral("untitled[*]"));
    QVERIFY(!window.isWindowModified());
    QVERIFY(main.opened.isEmpty());
}

void TestVVTFOpen::import_data()
{
    // The file ("png": 300 x 200, "tiff" and a page count, "missing", "junk")
    // and the radio button to check (or "cancel"); then the texture's size,
    // frames/faces/slices, format and thumbnail format; then the last
    // message shown (%1: the file). Six faces get the spheremap; several
    // faces or slices no thumbnail.
    QTest::addColumn<QString>("row");
    QTest::newRow("300x200 picture") << "png|256x256 1/1/1 15 13|";
    QTest::newRow("six as faces") << "tiff6 facesButton|16x16 1/7/1 15 -1|";
    QTest::newRow("six as frames") << "tiff6|16x16 6/1/1 15 13|";
    QTest::newRow("eight as slices") << "tiff8 slicesButton|16x16 1/1/8 15 -1|";
    QTest::newRow("eight as faces") << "tiff8 facesButton|16x16 1/1/1 15 13|Import Error: 7 of 8 "
                                       "images found no place in the texture and were left out";
    QTest::newRow("missing") << "missing||Device Error: Unable to read \"%1\"";
    QTest::newRow("not a picture") << "junk||Unsupported image format";
    QTest::newRow("cancelled") << "junk cancel||";
}

void TestVVTFOpen::import()
{
    QFETCH(QString, row);
    const QString source = row.section('|', 0, 0).section(' ', 0, 0);
    const QString choice = row.section('|', 0, 0).section(' ', 1);

    const QString path = m_dir.filePath(source + (source == "png" ? ".png" : ".tiff"));
    if (source == QLatin1String("png")) {
        QImage picture(300, 200, QImage::Format_ARGB32);
        picture.fill(qRgb(255, 128, 0));
        QVERIFY(picture.save(path));
    } else if (source.startsWith(QLatin1String("tiff")))
        writeTiff(path, source.mid(4).toInt());
    QFile junk(path);
    if (source == QLatin1String("junk"))
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("no picture here") > 0);
    junk.close();

    PromptScript script;
    script.answer = answers(path, choice != QLatin1String("cancel"), [&](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), path);
        if (auto *button = dialog->findChild<QRadioButton *>(choice))
            button->setChecked(true);
    });
    VVTF window{QString()};
    window.actionImport->trigger();
    QCOMPARE(script.asked.first().title + '|' + script.asked.first().filter,
             QStringLiteral("New VTF|Supported Formats (*.png *.jpg *.jpeg *.tiff *.bmp *.gif "
                            "*.ppm *.pgm *.pbm *.xpm *.xbm)"));
    QString shown;
    for (const CPrompt::Request &r : script.asked)
        if (r.kind == CPrompt::Kind::Information || r.kind == CPrompt::Kind::Warning)
            shown = r.title + ": " + r.text;
    const CFileVTF *document = window.document();
    const QString summary = !document ? QString()
                                      : QStringLiteral("%1x%2 %3/%4/%5 %6 %7")
                                            .arg(document->width())
                                            .arg(document->height())
                                            .arg(document->frameCount())
                                            .arg(document->faceCount())
                                            .arg(document->sliceCount())
                                            .arg(int(document->highResImageFormat()))
                                            .arg(int(document->lowResImageFormat()));
    QCOMPARE(summary + '|' + shown.section(QLatin1String(": "), 1),
             row.section('|', 1).replace(QLatin1String("%1"), path));
    QVERIFY(shown.isEmpty() || shown.startsWith(QLatin1String("VTF Editor: ")));
    if (document) {
        QCOMPARE(document->displayName(), source);
        // Reflectivity and mipmaps were computed: the 1 x 1 level is orange.
        QByteArray smallest;
        QVERIFY(document->decodeImage(0, 0, 0, 0, smallest));
        if (source == QLatin1String("png")) {
            QCOMPARE(document->reflectivity(0), 1.0f);
            QCOMPARE(int(uchar(smallest[0])), 255);
        }
        QVERIFY(!window.isWindowModified());
    }
}

int main(int argc, char **argv)
{
    Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);
    QApplication application(argc, argv);
    TestVVTFOpen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vvtfopen.moc"
