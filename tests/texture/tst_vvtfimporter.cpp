// The stand-in reader below is built into this program, not loaded.
#define QT_STATICPLUGIN

#include "VVTFFixture.h"
#include "VVTFImporter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageIOPlugin>
#include <QImageReader>
#include <QTemporaryDir>
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
    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new StuckPagesHandler;
        handler->setDevice(device);
        handler->setFormat(format);
        return handler;
    }
};

Q_IMPORT_PLUGIN(StuckPagesPlugin)

// Imports from image files of several pages (written by ImageMagick): every
// page lands in its own frame, face or slice.
class TestVVTFImporter : public QObject
{
    Q_OBJECT

private slots:
    void pages_data();
    void pages();
    void unreachablePage();

private:
    QTemporaryDir m_dir;
};

void TestVVTFImporter::pages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("layout");
    QTest::addColumn<QByteArray>("readerFormat");

    using Layout = VVTFRules::ImportLayout;
    QTest::newRow("TIFF as frames")
        << "pages.tiff" << 4 << int(Layout::Frames) << QByteArray("tiff");
    QTest::newRow("TIFF as faces") << "pages.tiff" << 6 << int(Layout::Faces) << QByteArray("tiff");
    QTest::newRow("TIFF as slices")
        << "pages.tiff" << 4 << int(Layout::Slices) << QByteArray("tiff");
    // An animation's reader moves on by itself and cannot be told to jump.
    QTest::newRow("GIF as frames") << "frames.gif" << 4 << int(Layout::Frames) << QByteArray("gif");
}

void TestVVTFImporter::pages()
{
    QFETCH(QString, file);
    QFETCH(int, pages);
    QFETCH(int, layout);
    QFETCH(QByteArray, readerFormat);

    QVERIFY2(QImageReader::supportedImageFormats().contains(readerFormat),
             "Qt's image format plugins (qt5-image-formats-plugins) are missing");
    const QString path = m_dir.filePath(QString::number(pages) + file);
    writePages(path, pages);
    QImageReader reader(path);
    QCOMPARE(reader.format(), readerFormat);
    QCOMPARE(reader.imageCount(), pages);
    VVTFImportSettings settings;
    settings.format = IMAGE_FORMAT_RGBA8888;
    settings.layout = VVTFRules::ImportLayout(layout);
    settings.generateMipmaps = false;
    settings.generateSpheremaps = false;
    QScopedPointer<CFileVTF> texture(VVTFImporter().import(reader, settings));
    QVERIFY(texture);

    const int top = texture->mipmapCount() - 1;
    for (int page = 0; page < pages; ++page) {
        const int frame = settings.layout == VVTFRules::ImportLayout::Frames ? page : 0;
        const int face = settings.layout == VVTFRules::ImportLayout::Faces ? page : 0;
        const int slice = settings.layout == VVTFRules::ImportLayout::Slices ? page : 0;
        QByteArray rgba;
        QVERIFY(texture->decodeImage(top, frame, face, slice, rgba));
        QCOMPARE(rgba.toHex(), filled(16, 16, pageColour(page)).toHex());
    }
}

void TestVVTFImporter::unreachablePage()
{
    QBuffer device;
    QVERIFY(device.open(QIODevice::ReadOnly));
    QImageReader reader(&device, "stuckpages");
    VVTFImporter importer;
    QVERIFY(!importer.import(reader, VVTFImportSettings()));
    QCOMPARE(importer.error, QStringLiteral("Import Error: Unable to reach image 1"));
}

VTF_TEST_MAIN(TestVVTFImporter, QGuiApplication, )

#include "tst_vvtfimporter.moc"
