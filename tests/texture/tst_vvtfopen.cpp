#include "VVTFFixture.h"
#include "VVTFNewImageWidget.h"

#include <Magick++.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QRadioButton>
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
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("error");

    QTest::newRow("missing") << "missing.vtf" << QByteArray() << "Read Error: File does not exist";
    QTest::newRow("folder") << "folder.vtf" << QByteArray() << "Read Error: Unable to open device";
    QTest::newRow("picture") << "picture.vtf" << QByteArray("\x89PNG\r\n\x1a\n")
                             << "File Error: Magic number mismatch";
}

void TestVVTFOpen::openFailures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(QString, error);

    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(name);
    QFile file(path);
    QVERIFY(name.startsWith(QLatin1String("folder"))
                ? QDir(m_dir.path()).mkpath(name)
                : contents.isEmpty() ||
                      (file.open(QIODevice::WriteOnly) && file.write(contents) > 0));
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

    // A window keeps its document: the next one opens a window of its own.
    window.setWindowModified(true);
    script.answer = answers(QString(), true);
    window.actionNew->trigger();
    QCOMPARE(window.document(), first);
    QVERIFY(window.isWindowModified());
    QCOMPARE(main.opened.size(), 1);
    QCOMPARE(main.opened.first()->document()->width(), quint16(512));
}

void TestVVTFOpen::import_data()
{
    // "png" (300 x 200), "tiff" and the page count, "missing" or "junk".
    QTest::addColumn<QString>("source");
    // The radio button to check, or "cancel".
    QTest::addColumn<QString>("choice");
    // The texture's size, frames/faces/slices and format, then the last
    // message shown (%1: the file).
    QTest::addColumn<QString>("expected");

    QTest::newRow("300x200 picture") << "png"
                                     << ""
                                     << "256x256 1/1/1 15|";
    QTest::newRow("six as faces") << "tiff6"
                                  << "facesButton"
                                  << "16x16 1/6/1 15|";
    QTest::newRow("six as frames") << "tiff6"
                                   << ""
                                   << "16x16 6/1/1 15|";
    QTest::newRow("eight as slices") << "tiff8"
                                     << "slicesButton"
                                     << "16x16 1/1/8 15|";
    QTest::newRow("eight as faces")
        << "tiff8"
        << "facesButton"
        << "16x16 1/1/1 15|Import Error: 7 of 8 images found no place in the texture and were "
           "left out";
    QTest::newRow("missing") << "missing"
                             << ""
                             << "|Device Error: Unable to read \"%1\"";
    QTest::newRow("not a picture") << "junk"
                                   << ""
                                   << "|Unsupported image format";
    QTest::newRow("cancelled") << "junk"
                               << "cancel"
                               << "|";
}

void TestVVTFOpen::import()
{
    QFETCH(QString, source);
    QFETCH(QString, choice);
    QFETCH(QString, expected);

    const QString path = m_dir.filePath(source + (source == "png" ? ".png" : ".tiff"));
    if (source == QLatin1String("png"))
        QVERIFY(QImage(300, 200, QImage::Format_ARGB32).save(path));
    else if (source.startsWith(QLatin1String("tiff")))
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
                                      : QStringLiteral("%1x%2 %3/%4/%5 %6")
                                            .arg(document->width())
                                            .arg(document->height())
                                            .arg(document->frameCount())
                                            .arg(document->faceCount())
                                            .arg(document->sliceCount())
                                            .arg(int(document->highResImageFormat()));
    QCOMPARE(summary + '|' + shown.section(QLatin1String(": "), 1),
             QString(expected).replace(QLatin1String("%1"), path));
    QVERIFY(shown.isEmpty() || shown.startsWith(QLatin1String("VTF Editor: ")));
    if (document) {
        QCOMPARE(document->displayName(), source);
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
