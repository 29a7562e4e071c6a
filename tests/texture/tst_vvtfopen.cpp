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
    void initTestCase();
    void openFailures_data();
    void openFailures();
    void newTexture();
    void import_data();
    void import();
    void importFailures_data();
    void importFailures();

private:
    QString writeTiff(const QString &name, int pages);

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
        if (r.kind == CPrompt::Kind::Exec) {
            if (fill)
                fill(r.dialog);
            a.result = accept ? QDialog::Accepted : QDialog::Rejected;
        }
        return a;
    };
}

QString message(CPrompt::Kind kind, const QString &title, const QString &text)
{
    return QStringLiteral("%1|%2|%3").arg(int(kind)).arg(title, text);
}
} // namespace

void TestVVTFOpen::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestVVTFOpen::writeTiff(const QString &name, int pages)
{
    std::vector<Magick::Image> images;
    for (int i = 0; i < pages; ++i) {
        Magick::Image page(Magick::Geometry(16, 16), Magick::ColorRGB(i / 8.0, 0.5, 0.25));
        page.magick("TIFF");
        images.push_back(page);
    }
    const QString path = m_dir.filePath(name);
    Magick::writeImages(images.begin(), images.end(), path.toStdString());
    return path;
}

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

    const QString path = m_dir.filePath(name);
    if (name.startsWith(QLatin1String("folder")))
        QVERIFY(QDir(m_dir.path()).mkpath(name));
    if (!contents.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    PromptScript script;
    script.answer = answers(QString(), false);
    VVTF window(path);
    QCOMPARE(script.lines(), QStringList(message(CPrompt::Kind::Information, "VTF Editor", error)));
    QVERIFY(!window.document());
    QCOMPARE(window.windowTitle(), QStringLiteral("VTF Editor"));

    // "Open..." asks for a path and, refused again, leaves the window as it was.
    script.asked.clear();
    script.answer = answers(path, false);
    window.actionOpen->trigger();
    QCOMPARE(script.asked.size(), 2);
    QCOMPARE(script.asked.at(0).title, QStringLiteral("Open VTF"));
    QCOMPARE(script.asked.at(0).filter, QStringLiteral("Valve Texture File (*.vtf)"));
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
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("choice");
    // Size, frames/faces/slices, format.
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("warning");

    QTest::newRow("300x200 picture") << 0 << ""
                                     << "256x256 1/1/1 15"
                                     << "";
    QTest::newRow("six as faces") << 6 << "facesButton"
                                  << "16x16 1/6/1 15"
                                  << "";
    QTest::newRow("six as frames") << 6 << ""
                                   << "16x16 6/1/1 15"
                                   << "";
    QTest::newRow("eight as slices") << 8 << "slicesButton"
                                     << "16x16 1/1/8 15"
                                     << "";
    QTest::newRow("eight as faces")
        << 8 << "facesButton"
        << "16x16 1/1/1 15"
        << "Import Error: 7 of 8 images found no place in the texture and were left out";
}

void TestVVTFOpen::import()
{
    QFETCH(int, pages);
    QFETCH(QString, choice);
    QFETCH(QString, expected);
    QFETCH(QString, warning);

    QString path = m_dir.filePath(QStringLiteral("wall.png"));
    if (pages == 0)
        QVERIFY(QImage(300, 200, QImage::Format_ARGB32).save(path));
    else
        path = writeTiff(QStringLiteral("stack%1.tiff").arg(pages), pages);

    PromptScript script;
    script.answer = answers(path, true, [&](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), path);
        if (!choice.isEmpty())
            dialog->findChild<QRadioButton *>(choice)->setChecked(true);
    });
    VVTF window{QString()};
    window.actionImport->trigger();
    CFileVTF *document = window.document();
    QVERIFY(document);
    QCOMPARE(script.asked.first().title, QStringLiteral("New VTF"));
    QStringList warnings;
    for (const CPrompt::Request &r : script.asked)
        if (r.kind == CPrompt::Kind::Warning)
            warnings << r.text;
    QCOMPARE(warnings, warning.isEmpty() ? QStringList() : QStringList(warning));
    QCOMPARE(QStringLiteral("%1x%2 %3/%4/%5 %6")
                 .arg(document->width())
                 .arg(document->height())
                 .arg(document->frameCount())
                 .arg(document->faceCount())
                 .arg(document->sliceCount())
                 .arg(int(document->highResImageFormat())),
             expected);
    QCOMPARE(document->displayName(), QFileInfo(path).completeBaseName());
    QVERIFY(!window.isWindowModified());
}

void TestVVTFOpen::importFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("error");

    QTest::newRow("missing") << "missing.png" << true << "Device Error: Unable to read \"%1\"";
    QTest::newRow("not a picture") << "junk.png" << true << "Unsupported image format";
    QTest::newRow("cancelled") << "junk.png" << false << "";
}

void TestVVTFOpen::importFailures()
{
    QFETCH(QString, name);
    QFETCH(bool, accept);
    QFETCH(QString, error);

    const QString path = m_dir.filePath(name);
    if (name.startsWith(QLatin1String("junk"))) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("no picture here");
    }
    PromptScript script;
    script.answer = answers(path, accept);
    VVTF window{QString()};
    window.actionImport->trigger();
    QVERIFY(!window.document());
    const CPrompt::Request last = script.asked.last();
    if (error.isEmpty()) {
        QCOMPARE(last.kind, CPrompt::Kind::Exec);
        return;
    }
    QCOMPARE(last.kind, CPrompt::Kind::Information);
    QCOMPARE(last.title, QStringLiteral("VTF Editor"));
    QCOMPARE(last.text, error.contains(QLatin1String("%1")) ? error.arg(path) : error);
}

int main(int argc, char **argv)
{
    Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);
    QApplication application(argc, argv);
    TestVVTFOpen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vvtfopen.moc"
