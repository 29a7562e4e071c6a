#include "CSaveFile.h"
#include "FileBytes.h"
#include "VTFErrors.h"
#include "VTFMass.h"
#include "VTFMassConverter.h"
#include "VTFMassSink.h"
#include "VVTFFixture.h"

#include <Magick++.h>

#include <QComboBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QImage>
#include <QImageWriter>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {
struct Recorder : VTFMassSink
{
    QStringList lines;
    void refuse(const QString &text) override { lines << QStringLiteral("box: ") + text; }
    void log(const QString &text) override { lines << text; }
};

// Refuses writes once 64 bytes went through, as a full disk does.
struct FailingOutput : CSaveFile
{
    using CSaveFile::CSaveFile;
    qint64 left = 64;
    qint64 writeData(const char *data, qint64 length) override
    {
        return (left -= length) < 0 ? -1 : CSaveFile::writeData(data, length);
    }
};

struct FailingConverter : VTFMassConverter
{
    using VTFMassConverter::VTFMassConverter;
    QString failing;
    std::unique_ptr<CSaveFile> newOutput(const QString &path) const override
    {
        if (QFileInfo(path).fileName() != failing)
            return VTFMassConverter::newOutput(path);
        return std::make_unique<FailingOutput>(path);
    }
};

struct Folder
{
    QTemporaryDir dir;
    QString path(const QString &relative) const { return dir.filePath(relative); }
    void file(const QString &relative, const QByteArray &bytes) const
    {
        QVERIFY(writeFile(path(relative), bytes));
    }
    // Files the run must skip (c.jpg.bak) hold a PNG.
    void image(const QString &relative, int width = 4, int height = 4) const
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(qRgba(10, 200, 30, 255));
        const QByteArray suffix = QFileInfo(relative).suffix().toLower().toLatin1();
        const bool known = QImageWriter::supportedImageFormats().contains(suffix);
        QVERIFY(image.save(path(relative), known ? suffix.constData() : "png"));
    }
    QByteArray read(const QString &relative) const { return readFile(path(relative)); }
    // Files below a folder, relative to it, sorted.
    QStringList files(const QString &relative) const
    {
        QStringList found;
        QDirIterator it(path(relative), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(path(relative)).relativeFilePath(it.next());
        found.sort();
        return found;
    }
};

VTFMassOptions imageOptions(const Folder &folder)
{
    VTFMassOptions options;
    options.sourceDirectory = folder.path(QStringLiteral("in"));
    options.targetDirectory = folder.path(QStringLiteral("out"));
    return options;
}

QStringList run(const VTFMassOptions &options, const QString &failing = QString())
{
    Recorder recorder;
    FailingConverter converter(options, &recorder);
    converter.failing = failing;
    converter.run();
    return recorder.lines;
}

QComboBox *box(const VTFMass &window, const char *name)
{
    return child<QComboBox>(window, name);
}
} // namespace

// The bulk converter: its walk and conversions over temporary folders, and
// its window (lists, flag cycle, number fields, the run cycle).

class TestVTFMass : public QObject
{
    Q_OBJECT

private slots:
    void preparation();
    void selection_data();
    void selection();
    void imageToTexture();
    void textureResources_data();
    void textureResources();
    void imageExport_data();
    void imageExport();
    void failedWrites_data();
    void failedWrites();
    void targetInsideSource();
    void formatLists();
    void flagsAndNumbers();
    void resizeSettings();
    void runCycle_data();
    void runCycle();
};

void TestVTFMass::preparation()
{
    Folder folder;
    folder.file(QStringLiteral("in/a.png"), "x");
    folder.file(QStringLiteral("file"), "x");
    const std::pair<std::function<void(VTFMassOptions &)>, const char *> cases[] = {
        {[](VTFMassOptions &o) { o.filterMode = VTFMassOptions::RegEx, o.filterText = "("; },
         "box: Request Error: Name filter is not valid"},
        {[&](VTFMassOptions &o) { o.sourceFormat = "VTF", o.targetDirectory += "/../in/"; },
         "box: Request Error: In-place modification of VTFs requires overwrite permission"},
        {[&](VTFMassOptions &o) { o.sourceDirectory = folder.path("none"); },
         "Read Error: Source directory not readable"},
        {[](VTFMassOptions &o) { o.targetDirectory.clear(); },
         "Write Error: No target directory specified"},
        {[&](VTFMassOptions &o) { o.targetDirectory = folder.path("file/out"); },
         "Write Error: Unable to create target directory"}};
    for (const auto &[change, message] : cases) {
        VTFMassOptions options = imageOptions(folder);
        change(options);
        QCOMPARE(run(options), QStringList(QString::fromLatin1(message)));
    }
}

void TestVTFMass::selection_data()
{
    // The filter (mode digit and text), switches (recursive, preserve,
    // overwrite), the sources (the first one's extension is the source
    // format), the outputs, and how many "Destination exists" lines.
    QTest::addColumn<QString>("row");
    const char *jpegs = "a.jpg b.JPG c.jpg.bak d.jpeg";
    const char *walls = "brickwall_01.png WALL.png wallpaper.png";
    QTest::newRow("wildcard") << QString("0*||%1|a.vtf b.vtf|0").arg(jpegs);
    QTest::newRow("substring")
        << QString("1wall||%1|WALL.vtf brickwall_01.vtf wallpaper.vtf|0").arg(walls);
    QTest::newRow("regex, any case") << QString("2wall||%1|WALL.vtf|0").arg(walls);
    QTest::newRow("last extension") << "0*||x.tar.png|x.tar.vtf|0";
    QTest::newRow("flat") << "0*||a.png sub/a.png|a.vtf|0";
    QTest::newRow("recursive, flat") << "0*|r|a.png sub/a.png|a.vtf|1";
    QTest::newRow("recursive, preserved") << "0*|rp|a.png sub/a.png|a.vtf sub/a.vtf|0";
    QTest::newRow("case twins, overwrite") << "0*|o|a.PNG a.png|a.vtf|1";
}

void TestVTFMass::selection()
{
    QFETCH(QString, row);
    const QStringList part = row.split(QLatin1Char('|'));
    const QStringList sources = part[2].split(QLatin1Char(' '));
    Folder folder;
    for (const QString &source : sources)
        folder.image(QStringLiteral("in/") + source);
    VTFMassOptions options = imageOptions(folder);
    options.filterMode = part[0].left(1).toInt();
    options.filterText = part[0].mid(1);
    options.sourceFormat = QFileInfo(sources[0]).suffix().toUpper();
    options.recursive = part[1].contains(QLatin1Char('r'));
    options.preserveStructure = part[1].contains(QLatin1Char('p'));
    options.overwrite = part[1].contains(QLatin1Char('o'));
    const QStringList lines = run(options);
    QCOMPARE(folder.files(QStringLiteral("out")), part[3].split(QLatin1Char(' ')));
    QCOMPARE(lines.filter(QStringLiteral("Destination exists for \".../")).size(), part[4].toInt());
    QCOMPARE(lines.size(), part[4].toInt());
}

void TestVTFMass::imageToTexture()
{
    Folder folder;
    folder.image(QStringLiteral("in/wall.png"), 300, 200);
    VTFMassOptions options = imageOptions(folder);
    options.levelOfDetail.enabled = true;
    options.levelOfDetailValues = {{1, 2, 3, 4}};
    options.flagsToSet = 0x4 | VTFFlag::EnvironmentMap;
    QVERIFY(run(options).isEmpty());
    QScopedPointer<CFileVTF> made(CFileVTF::fromFile(folder.path(QStringLiteral("out/wall.vtf"))));
    QVERIFY(made);
    QCOMPARE(
        QList<int>({made->width(), made->height(), made->mipmapCount(), made->highResImageFormat(),
                    made->lowResImageFormat(), int(made->minorVersion()), int(made->flags())}),
        QList<int>({256, 256, 9, IMAGE_FORMAT_DXT5, IMAGE_FORMAT_DXT1, 3, 0x2004}));
    // Both PC clamps first, as the texture editor reads the bytes.
    QCOMPARE(made->findResource(VTFResourceTag::LevelOfDetail)->data, 0x04020301u);
    QVERIFY(!made->findResource(VTFResourceTag::Ts0));
}

void TestVTFMass::textureResources_data()
{
    // The file, the rule (-1 unchecked, else modify * 2 + all), then what the
    // output has (-1 none, 0 the file's own, 1 the window's values).
    QTest::addColumn<QString>("row");
    QTest::newRow("unchecked removes") << "7.3 lod|-1 -1";
    QTest::newRow("skip existing keeps") << "7.4 lod|0 0";
    QTest::newRow("skip existing adds") << "7.4|0 1";
    QTest::newRow("skip all keeps") << "7.3 lod|1 0";
    QTest::newRow("skip all, none") << "7.3|1 -1";
    QTest::newRow("modify existing sets") << "7.3 lod|2 1";
    QTest::newRow("modify existing, none") << "7.3|2 -1";
    QTest::newRow("modify all sets") << "7.5 lod|3 1";
    QTest::newRow("modify all adds") << "7.3|3 1";
    QTest::newRow("7.2 untouched") << "7.2|3 -1";
}

void TestVTFMass::textureResources()
{
    QFETCH(QString, row);
    const QList<int> n = numbers(row.section('|', 1));
    const int rule = n[0];
    Folder folder;
    const VTFFixture file = VTFFixture::from(row.section('|', 0, 0) + " flags:0x2008");
    folder.file(QStringLiteral("in/t.vtf"), file.build());
    VTFMassOptions options = imageOptions(folder);
    options.sourceFormat = QStringLiteral("VTF");
    options.levelOfDetail = {rule >= 0, rule >= 2, rule == 1 || rule == 3};
    options.levelOfDetailValues = {{1, 2, 3, 4}};
    options.flagsToSet = 0x4 | VTFFlag::EnvironmentMap;
    options.flagsToClear = 0x8 | VTFFlag::EightBitAlpha;
    QVERIFY(run(options).isEmpty());
    QScopedPointer<CFileVTF> made(CFileVTF::fromFile(folder.path(QStringLiteral("out/t.vtf"))));
    QVERIFY(made);
    QCOMPARE(made->minorVersion(), file.minor);
    QCOMPARE(made->flags(), 0x2004u);
    const VTFResource *lod = made->findResource(VTFResourceTag::LevelOfDetail);
    QCOMPARE(!lod ? -1 : lod->data == 0x1E1E1E1E ? 0 : lod->data == 0x04020301 ? 1 : 2, n[1]);
}

void TestVTFMass::imageExport_data()
{
    // The texture, the levels exported whole (1 mipmaps, 2 frames); the
    // names written, and each picture's side and the fixture's pixelByte of
    // its level and frame.
    QTest::addColumn<QString>("row");
    QTest::newRow("all mipmaps") << "side:64 mips:7|1|t_0.png t_1.png t_2.png t_3.png t_4.png "
                                    "t_5.png t_6.png|1 2 4 8 16 32 64|1 65 129 193 1 65 129";
    QTest::newRow("all frames") << "side:64 mips:7 frames:2|2|t-0.png t-1.png|64 64|129 145";
    QTest::newRow("mipmaps and frames")
        << "side:2 mips:2 frames:2|3|t_0-0.png t_0-1.png t_1-0.png t_1-1.png|1 1 2 2|1 17 65 81";
    QTest::newRow("one image") << "side:64 mips:7 frames:2|0|t.png|64|129";
}

void TestVTFMass::imageExport()
{
    QFETCH(QString, row);
    const QStringList part = row.split(QLatin1Char('|'));
    const QList<int> sides = numbers(part[3]), bytes = numbers(part[4]);
    const QStringList names = part[2].split(QLatin1Char(' '));
    const int levels = part[1].toInt();
    Folder folder;
    folder.file(QStringLiteral("in/t.vtf"), VTFFixture::from(part[0]).build());
    VTFMassOptions options = imageOptions(folder);
    options.sourceFormat = QStringLiteral("VTF");
    options.targetFormat = QStringLiteral("PNG");
    options.exportAll = {{(levels & 1) != 0, (levels & 2) != 0, false, false}};
    options.separators[VTFMassOptions::Frames] = QStringLiteral("-");
    QVERIFY(run(options).isEmpty());
    QCOMPARE(folder.files(QStringLiteral("out")), names);
    for (int i = 0; i < names.size(); ++i) {
        const QImage image(folder.path(QStringLiteral("out/") + names[i]));
        QCOMPARE(image.size(), QSize(sides[i], sides[i]));
        QCOMPARE(image.pixel(0, 0), qRgba(bytes[i], bytes[i], bytes[i], bytes[i]));
    }
}

void TestVTFMass::failedWrites_data()
{
    // The target format and the words of b.vtf, whose output fails or which
    // does not read (a format the tools do not know); then the log.
    QTest::addColumn<QString>("row");
    QTest::newRow("texture in place") << "VTF|side:64 mips:7|Device Error: Incomplete write;"
                                         "Write Error: Unable to write \".../b.vtf\"";
    // BMP: Qt's PNG writer leaks when libpng gives up on a write.
    QTest::newRow("image export")
        << "BMP|side:64 mips:7|Write Error: Unable to write \".../b.bmp\"";
    // A palette image cannot be decoded: nothing is written, not even an empty file.
    QTest::newRow("undecodable image")
        << "BMP|format:7 bpp:1|Write Error: Unable to write \".../b.bmp\"";
    const QString unread = "Read Error: Unsupported image format %1;"
                           "Read Error: Unable to read \".../b.vtf\"";
    QTest::newRow("ATI2N in place") << "VTF|side:128 mips:1 bpp:1 format:34|" + unread.arg(34);
    QTest::newRow("BC7 export") << "BMP|side:1024 mips:1 bpp:1 format:70|" + unread.arg(70);
}

void TestVTFMass::failedWrites()
{
    QFETCH(QString, row);
    const QString target = row.section('|', 0, 0);
    Folder folder;
    const VTFFixture file = VTFFixture::from(row.section('|', 1, 1));
    folder.file(QStringLiteral("in/a.vtf"), VTFFixture::from("side:64 mips:7").build());
    folder.file(QStringLiteral("in/b.vtf"), file.build());
    folder.file(QStringLiteral("out/b.bmp"), "an older export");
    VTFMassOptions options = imageOptions(folder);
    options.sourceFormat = QStringLiteral("VTF");
    options.targetFormat = target;
    options.overwrite = true;
    options.setVersion = true;
    options.version = 4;
    if (target == QLatin1String("VTF"))
        options.targetDirectory = options.sourceDirectory;
    const QString failing = QStringLiteral("b.") + target.toLower();
    QCOMPARE(run(options, failing).join(';'), row.section('|', 2));
    if (target == QLatin1String("VTF")) {
        // The failed one keeps its bytes; nothing is left beside them.
        QCOMPARE(folder.read(QStringLiteral("in/b.vtf")), file.build());
        QCOMPARE(folder.read(QStringLiteral("in/a.vtf")).mid(8, 1), QByteArray("\x04"));
        QCOMPARE(folder.files(QStringLiteral("in")), QStringList({"a.vtf", "b.vtf"}));
    } else {
        QCOMPARE(folder.read(QStringLiteral("out/b.bmp")), QByteArray("an older export"));
        QCOMPARE(folder.files(QStringLiteral("out")), QStringList({"a.bmp", "b.bmp"}));
    }
}

void TestVTFMass::targetInsideSource()
{
    // The target below the source, with an earlier run's files in it: none
    // of them is walked, and the run ends.
    Folder folder;
    folder.image(QStringLiteral("in/a.png"));
    folder.image(QStringLiteral("in/sub/b.png"));
    folder.image(QStringLiteral("in/out/old.png"));
    VTFMassOptions options = imageOptions(folder);
    options.targetDirectory = folder.path(QStringLiteral("in/out"));
    options.recursive = options.preserveStructure = true;
    QVERIFY(run(options).isEmpty());
    QCOMPARE(folder.files(QStringLiteral("in/out")),
             QStringList({"a.vtf", "old.png", "sub/b.vtf"}));
}

void TestVTFMass::formatLists()
{
    VTFMass window;
    // An image source only becomes a texture; anything else needs a texture.
    box(window, "targetFormat")->setCurrentText(QStringLiteral("PNG"));
    QCOMPARE(box(window, "sourceFormat")->currentText(), QStringLiteral("VTF"));
    box(window, "sourceFormat")->setCurrentText(QStringLiteral("JPG"));
    QCOMPARE(box(window, "targetFormat")->currentText(), QStringLiteral("VTF"));
    box(window, "sourceFormat")->setCurrentText(QStringLiteral("TIF"));
    box(window, "targetFormat")->setCurrentText(QStringLiteral("PNG"));
    QCOMPARE(box(window, "sourceFormat")->currentText(), QStringLiteral("VTF"));
    // A texture source changes nothing unless asked: resources are kept.
    const VTFMassOptions options = window.options();
    QVERIFY(!options.setVersion && !options.setThumbnailFormat && !options.setImageFormat);
    QVERIFY(options.levelOfDetail.enabled && !options.levelOfDetail.modify &&
            options.levelOfDetail.all);
    // P8 and RGBA16161616F are refused back to the last entry.
    box(window, "thumbnailFormat")->setCurrentIndex(8);
    QCOMPARE(box(window, "thumbnailFormat")->currentText(), QStringLiteral("DXT1"));
    box(window, "imageFormat")->setCurrentIndex(24);
    QCOMPARE(box(window, "imageFormat")->currentText(), QStringLiteral("DXT5"));
    box(window, "imageFormat")->setCurrentIndex(0);
    box(window, "imageFormat")->setCurrentIndex(7);
    QCOMPARE(window.options().imageFormat, IMAGE_FORMAT_RGBA8888);
}

void TestVTFMass::flagsAndNumbers()
{
    VTFMass window;
    auto *flags = child<QListWidget>(window, "flags");
    auto click = [&](int row) {
        emit flags->itemClicked(flags->item(row));
        return QList<quint32>({window.options().flagsToSet, window.options().flagsToClear,
                               quint32(flags->item(row)->background().color().rgb() & 0xFFFFFF)});
    };
    QCOMPARE(click(2), QList<quint32>({0x4, 0, 0xC0FFC0}));
    QCOMPARE(click(2), QList<quint32>({0, 0x4, 0xFFC0C0}));
    QCOMPARE(click(2), QList<quint32>({0, 0, 0xFFFFC0}));
    // The environment-map bit follows the faces: clicks leave it alone.
    QCOMPARE(click(14), QList<quint32>({0, 0, 0xFFFFC0}));

    // Number fields: limited to a byte, or hexadecimal, or kept.
    const char *edits[][3] = {{"lod0", "300", "255"},
                              {"lod1", "7", "7"},
                              {"lod1", "abc", "7"},
                              {"lod2", "-1", "30"},
                              {"ts0Value", "0xff", "0x000000FF"},
                              {"ts0Value", "ff", "0x000000FF"},
                              {"ts0Value", "0x1A2b3C4d", "0x1A2B3C4D"}};
    for (const auto &edit : edits)
        QCOMPARE(type(window, edit[0], edit[1]), QString::fromLatin1(edit[2]));
    const VTFMassOptions options = window.options();
    QCOMPARE(QList<int>(options.levelOfDetailValues.begin(), options.levelOfDetailValues.end()),
             QList<int>({255, 7, 30, 30}));
    QCOMPARE(options.textureSettingsValue, 0x1A2B3C4Du);
}

void TestVTFMass::resizeSettings()
{
    // The box shows the stored entries; the first dialog is cancelled, the
    // second accepted: only Ok stores what the box shows then.
    VTFMass window;
    QList<int> shown;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        for (QComboBox *list : request.dialog->findChildren<QComboBox *>()) {
            shown << list->currentIndex();
            list->setCurrentIndex(3);
        }
        CPrompt::Answer answer;
        answer.result = shown.size() > 5 ? QDialog::Accepted : QDialog::Rejected;
        return answer;
    });
    for (int click = 0; click < 3; ++click)
        child<QPushButton>(window, "resize")->click();
    QCOMPARE(shown, QList<int>({11, 0, 12, 0, 12, 11, 0, 12, 0, 12, 3, 3, 3, 3, 3}));
    const VTFMassOptions o = window.options();
    QCOMPARE(
        QList<int>({o.resizeFilter, o.widthMethod, o.widthClamp, o.heightMethod, o.heightClamp}),
        QList<int>({3, 3, 3, 3, 3}));
}

void TestVTFMass::runCycle_data()
{
    // The filter, "cancel" to click Cancel as the run starts, then the run's
    // title and the boxes and log lines shown.
    QTest::addColumn<QString>("row");
    QTest::newRow("nothing to convert") << "x||Done|";
    QTest::newRow("broken texture")
        << ".*||Done|Read Error: Incomplete\nRead Error: Unable to read \".../bad.vtf\"";
    QTest::newRow("bad filter") << "[||Done|box: Request Error: Name filter is not valid";
    // "Cancel" is heard between files: the run stops before the next one.
    QTest::newRow("cancel") << ".*|cancel|.../|";
}

void TestVTFMass::runCycle()
{
    QFETCH(QString, row);
    const QStringList part = row.split(QLatin1Char('|'));
    QTemporaryDir folder;
    QFile(folder.filePath(QStringLiteral("bad.vtf"))).open(QIODevice::WriteOnly);
    QStringList boxes;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        boxes << QStringLiteral("box: ") + request.text;
        return CPrompt::Answer();
    });
    VTFMass window;
    box(window, "sourceFormat")->setCurrentIndex(0);
    box(window, "targetFormat")->setCurrentText(QStringLiteral("PNG"));
    child<QComboBox>(window, "filterMode")->setCurrentIndex(VTFMassOptions::RegEx);
    child<QLineEdit>(window, "filter")->setText(part[0]);
    child<QLineEdit>(window, "source")->setText(folder.path() + QStringLiteral("/./"));
    child<QLineEdit>(window, "target")->setText(folder.filePath(QStringLiteral("out")));

    auto *button = child<QPushButton>(window, "apply");
    if (!part[1].isEmpty())
        QTimer::singleShot(0, button, &QPushButton::click);
    button->click();
    // Every run ends with its log kept and the way back open.
    QCOMPARE(child<QGroupBox>(window, "run")->title(), part[2]);
    boxes << child<QPlainTextEdit>(window, "log")->toPlainText();
    QCOMPARE(boxes.join(QString()), part[3]);
    QCOMPARE(button->text(), QStringLiteral("Return"));
    QVERIFY(button->isEnabled() && window.stopFlag());
    if (!part[3].startsWith(QLatin1String("box")))
        QCOMPARE(child<QLineEdit>(window, "source")->text(), folder.path());
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Apply"));
    QCOMPARE(child<QStackedWidget>(window, "pages")->currentIndex(), int(VTFMass::ImagePage));
    QVERIFY(!window.stopFlag());
}

VTF_TEST_MAIN(TestVTFMass, QApplication, )

#include "tst_vtfmass.moc"
