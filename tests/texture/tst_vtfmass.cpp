#include "CFileVTF.h"
#include "CSaveFile.h"
#include "VTFErrors.h"
#include "VTFFixture.h"
#include "VTFMassConverter.h"
#include "VTFMassSink.h"

#include <Magick++.h>

#include <QDirIterator>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(VTFFixture)

namespace {
struct Recorder : VTFMassSink
{
    QStringList lines;
    void refuse(const QString &text) override { lines << QStringLiteral("box: ") + text; }
    void log(const QString &text) override { lines << text; }
};

// Fails every write to one file name once `allowed` bytes went through.
class FailingConverter : public VTFMassConverter
{
public:
    FailingConverter(const VTFMassOptions &options, VTFMassSink *sink, const QString &failing)
        : VTFMassConverter(options, sink)
        , m_failing(failing)
    {}

protected:
    class Output : public CSaveFile
    {
    public:
        using CSaveFile::CSaveFile;
        qint64 writeData(const char *data, qint64 length) override
        {
            if (m_left < length)
                return -1;
            m_left -= length;
            return CSaveFile::writeData(data, length);
        }
        qint64 m_left = 64;
    };
    std::unique_ptr<CSaveFile> newOutput(const QString &path) const override
    {
        if (QFileInfo(path).fileName() != m_failing)
            return VTFMassConverter::newOutput(path);
        auto output = std::make_unique<Output>(path);
        output->setDirectWriteFallback(false);
        return output;
    }

private:
    QString m_failing;
};

struct Folder
{
    QTemporaryDir dir;
    QString path(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? dir.path() : dir.filePath(relative);
    }
    void file(const QString &relative, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QFile out(path(relative));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }
    void image(const QString &relative, int width = 4, int height = 4) const
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(qRgba(10, 200, 30, 255));
        // Files the run must skip (c.jpg.bak) hold a PNG.
        const QByteArray suffix = QFileInfo(relative).suffix().toLower().toLatin1();
        const bool known = QImageWriter::supportedImageFormats().contains(suffix);
        QVERIFY(image.save(path(relative), known ? suffix.constData() : "png"));
    }
    QByteArray read(const QString &relative) const
    {
        QFile in(path(relative));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("missing");
    }
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

VTFFixture texture(quint32 minor, bool lod = false)
{
    VTFFixture f;
    f.minor = minor;
    f.lod = lod;
    return f;
}

QStringList run(const VTFMassOptions &options, const QString &failing = QString())
{
    Recorder recorder;
    FailingConverter(options, &recorder, failing).run();
    return recorder.lines;
}
} // namespace

class TestVTFMass : public QObject
{
    Q_OBJECT

private slots:
    void preparation_data();
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
};

void TestVTFMass::preparation_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("first");
    QTest::newRow("bad regex") << 0
                               << QStringLiteral("box: Request Error: Name filter is not valid");
    QTest::newRow("in place") << 1
                              << QStringLiteral("box: Request Error: In-place modification of "
                                                "VTFs requires overwrite permission");
    QTest::newRow("no source") << 2 << QStringLiteral("Read Error: Source directory not readable");
    QTest::newRow("no target") << 3 << QStringLiteral("Write Error: No target directory specified");
    QTest::newRow("target a file")
        << 4 << QStringLiteral("Write Error: Unable to create target directory");
}

void TestVTFMass::preparation()
{
    QFETCH(int, change);
    QFETCH(QString, first);
    Folder folder;
    folder.file(QStringLiteral("in/a.png"), "x");
    folder.file(QStringLiteral("file"), "x");
    VTFMassOptions options = imageOptions(folder);
    switch (change) {
    case 0:
        options.filterMode = VTFMassOptions::RegEx;
        options.filterText = QStringLiteral("(");
        break;
    case 1:
        options.sourceFormat = QStringLiteral("VTF");
        options.targetDirectory = folder.path(QStringLiteral("in/../in/"));
        break;
    case 2:
        options.sourceDirectory = folder.path(QStringLiteral("none"));
        break;
    case 3:
        options.targetDirectory.clear();
        break;
    default:
        options.targetDirectory = folder.path(QStringLiteral("file/out"));
    }
    const QStringList lines = run(options);
    QCOMPARE(lines.value(0), first);
    QCOMPARE(lines.size(), 1);
}

void TestVTFMass::selection_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<bool>("preserve");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("outputs");
    QTest::addColumn<int>("destinationExists");

    const QStringList jpegs = {"a.jpg", "b.JPG", "c.jpg.bak", "d.jpeg"};
    QTest::newRow("wildcard") << 0 << "*"
                              << "JPG" << false << false << false << jpegs
                              << QStringList{"a.vtf", "b.vtf"} << 0;
    QTest::newRow("substring") << 1 << "wall"
                               << "PNG" << false << false << false
                               << QStringList{"brickwall_01.png", "floor.png"}
                               << QStringList{"brickwall_01.vtf"} << 0;
    QTest::newRow("regex whole name, any case")
        << 2 << "wall"
        << "PNG" << false << false << false << QStringList{"WALL.png", "wallpaper.png", "x.tar.png"}
        << QStringList{"WALL.vtf"} << 0;
    QTest::newRow("last extension only")
        << 0 << "*"
        << "PNG" << false << false << false << QStringList{"x.tar.png"} << QStringList{"x.tar.vtf"}
        << 0;
    const QStringList nested = {"a.png", "sub/a.png"};
    QTest::newRow("flat") << 0 << "*"
                          << "PNG" << false << false << false << nested << QStringList{"a.vtf"}
                          << 0;
    QTest::newRow("recursive, flat")
        << 0 << "*"
        << "PNG" << true << false << false << nested << QStringList{"a.vtf"} << 1;
    QTest::newRow("recursive, flat, overwrite")
        << 0 << "*"
        << "PNG" << true << false << true << nested << QStringList{"a.vtf"} << 1;
    QTest::newRow("recursive, preserved")
        << 0 << "*"
        << "PNG" << true << true << false << nested << QStringList{"a.vtf", "sub/a.vtf"} << 0;
    QTest::newRow("case twins, overwrite")
        << 0 << "*"
        << "PNG" << false << false << true << QStringList{"a.PNG", "a.png"} << QStringList{"a.vtf"}
        << 1;
}

void TestVTFMass::selection()
{
    QFETCH(int, mode);
    QFETCH(QString, filter);
    QFETCH(QString, format);
    QFETCH(bool, recursive);
    QFETCH(bool, preserve);
    QFETCH(bool, overwrite);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, outputs);
    QFETCH(int, destinationExists);

    Folder folder;
    for (const QString &source : sources)
        folder.image(QStringLiteral("in/") + source);
    VTFMassOptions options = imageOptions(folder);
    options.filterMode = mode;
    options.filterText = filter;
    options.sourceFormat = format;
    options.recursive = recursive;
    options.preserveStructure = preserve;
    options.overwrite = overwrite;
    const QStringList lines = run(options);
    QCOMPARE(folder.files(QStringLiteral("out")), outputs);
    QCOMPARE(lines.filter(QStringLiteral("Destination exists for \".../")).size(),
             destinationExists);
    QCOMPARE(lines.size(), destinationExists);
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
    QByteArray rgba;
    QVERIFY(made->decodeImage(8, 0, 0, 0, rgba));
    QVERIFY(qAbs(int(uchar(rgba[1])) - 200) < 8);
}

void TestVTFMass::textureResources_data()
{
    QTest::addColumn<VTFFixture>("file");
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("expected");

    // rule: -1 unchecked, else modify * 2 + all. expected: -1 none, 0 the
    // file's own, 1 the window's values.
    QTest::newRow("unchecked removes") << texture(3, true) << -1 << -1;
    QTest::newRow("unchecked, none") << texture(3) << -1 << -1;
    QTest::newRow("skip existing keeps") << texture(4, true) << 0 << 0;
    QTest::newRow("skip existing adds") << texture(4) << 0 << 1;
    QTest::newRow("skip all keeps") << texture(3, true) << 1 << 0;
    QTest::newRow("skip all, none") << texture(3) << 1 << -1;
    QTest::newRow("modify existing sets") << texture(3, true) << 2 << 1;
    QTest::newRow("modify existing, none") << texture(3) << 2 << -1;
    QTest::newRow("modify all sets") << texture(5, true) << 3 << 1;
    QTest::newRow("modify all adds") << texture(3) << 3 << 1;
    QTest::newRow("7.2 untouched") << texture(2) << 3 << -1;
}

void TestVTFMass::textureResources()
{
    QFETCH(VTFFixture, file);
    QFETCH(int, rule);
    QFETCH(int, expected);

    Folder folder;
    file.flags = 0x2000 | 0x8;
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
    const int found = !lod ? -1 : lod->data == 0x1E1E1E1E ? 0 : lod->data == 0x04020301 ? 1 : 2;
    QCOMPARE(found, expected);
}

void TestVTFMass::imageExport_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("levels");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("sides");
    // The fixture's pixelByte of each image's level and frame.
    QTest::addColumn<QList<int>>("bytes");

    QTest::newRow("all mipmaps") << 64 << 1 << 1
                                 << QStringList{"t_0.png", "t_1.png", "t_2.png", "t_3.png",
                                                "t_4.png", "t_5.png", "t_6.png"}
                                 << QList<int>{1, 2, 4, 8, 16, 32, 64}
                                 << QList<int>{1, 65, 129, 193, 1, 65, 129};
    QTest::newRow("all frames") << 64 << 2 << 2 << QStringList{"t_0.png", "t_1.png"}
                                << QList<int>{64, 64} << QList<int>{129, 145};
    QTest::newRow("mipmaps and frames")
        << 2 << 3 << 2 << QStringList{"t_0-0.png", "t_0-1.png", "t_1-0.png", "t_1-1.png"}
        << QList<int>{1, 1, 2, 2} << QList<int>{1, 17, 65, 81};
    QTest::newRow("one image") << 64 << 0 << 2 << QStringList{"t.png"} << QList<int>{64}
                               << QList<int>{129};
}

void TestVTFMass::imageExport()
{
    QFETCH(int, side);
    QFETCH(int, levels);
    QFETCH(int, frames);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, sides);
    QFETCH(QList<int>, bytes);

    Folder folder;
    VTFFixture file;
    file.width = file.height = quint16(side);
    file.mips = side == 64 ? 7 : 2;
    file.frames = quint16(frames);
    folder.file(QStringLiteral("in/t.vtf"), file.build());
    VTFMassOptions options = imageOptions(folder);
    options.sourceFormat = QStringLiteral("VTF");
    options.targetFormat = QStringLiteral("PNG");
    options.exportAll = {{(levels & 1) != 0, (levels & 2) != 0, false, false}};
    options.separators[VTFMassOptions::Frames] = QStringLiteral("-");
    if (levels == 2)
        options.separators[VTFMassOptions::Frames] = QStringLiteral("_");
    QVERIFY(run(options).isEmpty());
    QCOMPARE(folder.files(QStringLiteral("out")), names);
    for (int i = 0; i < names.size(); ++i) {
        const QImage image(folder.path(QStringLiteral("out/") + names[i]));
        QCOMPARE(image.size(), QSize(sides[i], sides[i]));
        const int b = bytes[i];
        QCOMPARE(image.pixel(0, 0), qRgba(b, b, b, b));
    }
}

void TestVTFMass::failedWrites_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("texture in place") << "VTF"
                                      << QStringList{"Device Error: Incomplete write",
                                                     "Write Error: Unable to write \".../b.vtf\""};
    QTest::newRow("image export") << "PNG"
                                  << QStringList{"Write Error: Unable to write \".../b.png\""};
}

void TestVTFMass::failedWrites()
{
    QFETCH(QString, target);
    QFETCH(QStringList, log);

    Folder folder;
    VTFFixture file;
    file.width = file.height = 64;
    file.mips = 7;
    folder.file(QStringLiteral("in/a.vtf"), file.build());
    folder.file(QStringLiteral("in/b.vtf"), file.build());
    folder.file(QStringLiteral("out/b.png"), "an older export");
    VTFMassOptions options = imageOptions(folder);
    options.sourceFormat = QStringLiteral("VTF");
    options.targetFormat = target;
    options.overwrite = true;
    options.setVersion = true;
    options.version = 4;
    if (target == QLatin1String("VTF"))
        options.targetDirectory = options.sourceDirectory;
    const QString failing = QStringLiteral("b.") + target.toLower();
    QCOMPARE(run(options, failing), log);
    if (target == QLatin1String("VTF")) {
        // The failed one keeps its bytes; nothing is left beside them.
        QCOMPARE(folder.read(QStringLiteral("in/b.vtf")), file.build());
        QCOMPARE(folder.read(QStringLiteral("in/a.vtf")).mid(8, 1), QByteArray("\x04"));
        QCOMPARE(folder.files(QStringLiteral("in")), QStringList({"a.vtf", "b.vtf"}));
    } else {
        QCOMPARE(folder.read(QStringLiteral("out/b.png")), QByteArray("an older export"));
        QCOMPARE(folder.files(QStringLiteral("out")), QStringList({"a.png", "b.png"}));
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

int main(int argc, char **argv)
{
    Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);
    QGuiApplication application(argc, argv);
    TestVTFMass test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vtfmass.moc"
