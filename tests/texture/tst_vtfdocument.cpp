#include "VTFConvert.h"
#include "VTFFixture.h"

#include <QtTest>

namespace {
// The shape of a texture in one line: size, levels/frames/faces/slices,
// first frame, environment-map flag, image bytes; "BADSIZE" when an image
// does not hold the bytes of its level.
QString summary(const CFileVTF &texture)
{
    quint64 bytes = 0;
    bool sized = true;
    for (int mip = 0; mip < texture.mipmapCount(); ++mip) {
        const quint64 size = vtfComputeImageSize(
            texture.mipmapWidth(mip), texture.mipmapHeight(mip), texture.highResImageFormat());
        for (const VTFFaceList &faces : texture.images()[mip])
            for (const VTFSliceList &slices : faces)
                for (const QByteArray &image : slices) {
                    sized = sized && quint64(image.size()) == size;
                    bytes += quint64(image.size());
                }
    }
    return QString::asprintf(
        "%dx%d %d/%d/%d/%d %d %d %llu%s", texture.width(), texture.height(), texture.mipmapCount(),
        texture.frameCount(), texture.faceCount(), texture.sliceCount(), texture.firstFrame(),
        (texture.flags() & VTFFlag::EnvironmentMap) ? 1 : 0, bytes, sized ? "" : " BADSIZE");
}

QByteArray repeatedPixel(const char *hexPixel, int count)
{
    return QByteArray::fromHex(hexPixel).repeated(count);
}
} // namespace

class TestVTFDocument : public QObject
{
    Q_OBJECT

private slots:
    void construction_data();
    void construction();
    void countChanges_data();
    void countChanges();
    void thumbnailSize_data();
    void thumbnailSize();
    void thumbnailImages();
    void imageFormat_data();
    void imageFormat();
    void imagesKeepTheirPixels();
    void resources();
};

void TestVTFDocument::construction_data()
{
    // The texture, then its reference size@level, level count, levels 0 and
    // 2 and the largest level.
    QTest::addColumn<QString>("row");
    QTest::newRow("256x64") << "256x64|4x1@2 9 1x1 4x1 256x64";
    QTest::newRow("100x0") << "100x0|1x1@0 1 1x1 4x4 1x1";
    QTest::newRow("1x8") << "1x8|1x8@3 4 1x1 1x4 1x8";
    // Chains beyond the 13 levels a mipmap-count request offers are built whole.
    QTest::newRow("32768x1") << "32768x1|32768x1@15 16 1x1 4x1 32768x1";
    // A file with one 256 x 256 level: level 0 is the full size.
    QTest::newRow("one 256x256 level") << "256x256 levels:1|1x1@-8 1 256x256 1024x1024 256x256";
}

void TestVTFDocument::construction()
{
    QFETCH(QString, row);
    QScopedPointer<CFileVTF> texture(::texture(row.section('|', 0, 0)));
    const VTFReferenceSize ref = texture->referenceSize();
    auto size = [&](int level) {
        return QStringLiteral("%1x%2")
            .arg(texture->mipmapWidth(level))
            .arg(texture->mipmapHeight(level));
    };
    const QString top = size(texture->mipmapCount() - 1);
    QCOMPARE(QString::asprintf("%dx%d@%d %d ", ref.width, ref.height, ref.level,
                               texture->mipmapCount()) +
                 QStringList({size(0), size(2), top}).join(' '),
             row.section('|', 1));
    QCOMPARE(QStringLiteral("%1x%2").arg(texture->width()).arg(texture->height()), top);
    QVERIFY(!summary(*texture).contains(QLatin1String("BADSIZE")));
}

void TestVTFDocument::countChanges_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("result");

    auto row = [](const char *name, const char *setup, const char *change, const char *error,
                  const char *result) {
        QTest::newRow(name) << setup << change << error << result;
    };
    // Results: size, levels/frames/faces/slices, first frame, environment-map
    // flag, image bytes. A 4 x 4 chain takes 1 + 4 + 16 pixels: 84 bytes.
    const char *plain = "4x4 3/1/1/1 0 0 84";
    row("frames 0", "4x4", "frames:0", "Request Error: Invalid frame count", plain);
    row("frames 3", "4x4", "frames:3", "", "4x4 3/3/1/1 0 0 252");
    row("frames lower the first", "4x4 frames:8 first:5", "frames:2", "", "4x4 3/2/1/1 1 0 168");
    row("frames keep 0xFFFF", "4x4 faces:6 frames:4", "frames:2", "", "4x4 3/2/6/1 65535 1 1008");
    row("frames beyond memory", "256x256", "frames:65535", "Error: Out of memory",
        "256x256 9/1/1/1 0 0 349524");
    row("faces 6", "4x4", "faces:6", "", "4x4 3/1/6/1 65535 1 504");
    row("faces 7 after 6", "4x4 faces:6", "faces:7", "", "4x4 3/1/7/1 0 1 588");
    row("faces 1 after 7", "4x4 faces:7", "faces:1", "", plain);
    row("faces 2", "4x4", "faces:2", "Request Error: Invalid face count", plain);
    row("faces not square", "64x32", "faces:6", "Request Error: Envmaps must be square",
        "64x32 7/1/1/1 0 0 10924");
    row("faces on depth", "4x4 slices:2", "faces:6",
        "Request Error: Depth textures cannot be envmaps", "4x4 3/1/1/2 0 0 168");
    row("slices 0", "4x4", "slices:0", "Request Error: Invalid slice count", plain);
    row("slices 3", "4x4", "slices:3", "Request Error: Slice count not a power of two", plain);
    row("slices on envmap", "4x4 faces:6", "slices:2",
        "Request Error: Depth textures cannot be envmaps", "4x4 3/1/6/1 65535 1 504");
    row("slices 4", "4x4", "slices:4", "", "4x4 3/1/1/4 0 0 336");
    row("mips 0", "4x4", "mips:0", "Request Error: Invalid mipmap count", plain);
    row("mips 14", "4x4", "mips:14", "Request Error: Invalid mipmap count", plain);
    row("mips 1 shrinks", "4x4", "mips:1", "", "1x1 1/1/1/1 0 0 4");
    row("mips grow at the large end", "4x4 frames:2 mips:1", "mips:5", "",
        "16x16 5/2/1/1 0 0 2728");
    // One 16 x 16 level: 13 levels would reach 65536 pixels a side.
    row("mips past 65535", "16x16 levels:1", "mips:13", "Request Error: Invalid mipmap count",
        "16x16 1/1/1/1 0 0 1024");
    row("mips beyond memory", "16x16 levels:1", "mips:12", "Error: Out of memory",
        "16x16 1/1/1/1 0 0 1024");
    row("levels 0", "4x4", "levels:0", "", "4x4 0/0/0/0 0 0 0");
    row("levels 256", "4x4", "levels:256", "Request Error: Invalid mipmap count", plain);
}

void TestVTFDocument::countChanges()
{
    QFETCH(QString, setup);
    QFETCH(QString, change);
    QFETCH(QString, error);
    QFETCH(QString, result);

    QScopedPointer<CFileVTF> texture(::texture(setup));
    // Success leaves the previous message alone.
    texture->setError(QStringLiteral("earlier"));
    QCOMPARE(applyStep(*texture, change), error.isEmpty());
    QCOMPARE(texture->error(), error.isEmpty() ? QStringLiteral("earlier") : error);
    QCOMPARE(summary(*texture), result);
}

void TestVTFDocument::thumbnailSize_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QSize>("size");

    QTest::newRow("256x256") << "256x256" << QSize(16, 16);
    QTest::newRow("256x64") << "256x64" << QSize(16, 4);
    QTest::newRow("8x8") << "8x8" << QSize(8, 8);
    // No level fits: the smallest level halved until it does.
    QTest::newRow("one 512x128 level") << "512x128 levels:1" << QSize(16, 4);
}

void TestVTFDocument::thumbnailSize()
{
    QFETCH(QString, setup);
    QFETCH(QSize, size);

    QScopedPointer<CFileVTF> texture(::texture(setup));
    QVERIFY(texture->setLowResImageFormat(IMAGE_FORMAT_DXT1));
    QCOMPARE(QSize(texture->lowResImageWidth(), texture->lowResImageHeight()), size);
    const int bytes =
        int(vtfComputeImageSize(quint16(size.width()), quint16(size.height()), IMAGE_FORMAT_DXT1));
    QCOMPARE(texture->lowResImage(), QByteArray(bytes, '\0'));
}

void TestVTFDocument::thumbnailImages()
{
    CFileVTF texture(256, 256);
    for (int format : {int(IMAGE_FORMAT_P8), int(IMAGE_FORMAT_RGBA16161616F), 27, -2})
        QVERIFY(!texture.setLowResImageFormat(VTFImageFormat(format)));
    // Encoded bytes need a format; sides must be powers of two up to 16.
    QVERIFY(!texture.setLowResImage(QByteArray(128, '\0'), 16, 16, true));
    QVERIFY(!texture.setLowResImage(repeatedPixel("ffffffff", 32 * 32), 32, 32, false));
    QVERIFY(!texture.setLowResImage(repeatedPixel("ffffffff", 9), 3, 3, false));
    QVERIFY(!texture.setLowResImage(repeatedPixel("ffffffff", 15), 4, 4, false));
    QCOMPARE(texture.lowResImageFormat(), IMAGE_FORMAT_NONE);

    // RGBA8888 into a texture without a thumbnail becomes DXT1.
    QVERIFY(texture.setLowResImage(repeatedPixel("ff8200ff", 16 * 8), 16, 8, false));
    QCOMPARE(texture.lowResImageFormat(), IMAGE_FORMAT_DXT1);
    QCOMPARE(QSize(texture.lowResImageWidth(), texture.lowResImageHeight()), QSize(16, 8));
    QCOMPARE(texture.lowResImage().size(), 64);
    // A format change decodes and re-encodes.
    QVERIFY(texture.setLowResImageFormat(IMAGE_FORMAT_BGR888));
    QCOMPARE(texture.lowResImage(), repeatedPixel("0082ff", 16 * 8));
    // None drops it.
    QVERIFY(texture.setLowResImageFormat(IMAGE_FORMAT_NONE));
    QVERIFY(texture.lowResImageWidth() == 0 && texture.lowResImage().isEmpty());
}

void TestVTFDocument::imageFormat_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<uint>("alphaFlags");
    QTest::addColumn<QSize>("bytes");

    // Bytes of the 16 x 16 and the 1 x 1 level afterwards.
    auto row = [](const char *name, int format, bool ok, uint flags, QSize bytes) {
        QTest::newRow(name) << format << ok << flags << bytes;
    };
    row("same", IMAGE_FORMAT_RGBA8888, true, 0x2000, QSize(1024, 4));
    row("one-bit DXT1", IMAGE_FORMAT_DXT1_ONEBITALPHA, true, 0x1000, QSize(128, 8));
    row("DXT1", IMAGE_FORMAT_DXT1, true, 0, QSize(128, 8));
    row("BGRA5551", IMAGE_FORMAT_BGRA5551, true, 0x1000, QSize(512, 2));
    row("RGBA16161616F", IMAGE_FORMAT_RGBA16161616F, false, 0x2000, QSize(1024, 4));
    row("P8", IMAGE_FORMAT_P8, false, 0x2000, QSize(1024, 4));
    row("27", 27, false, 0x2000, QSize(1024, 4));
}

void TestVTFDocument::imageFormat()
{
    QFETCH(int, format);
    QFETCH(bool, ok);
    QFETCH(uint, alphaFlags);
    QFETCH(QSize, bytes);

    CFileVTF texture(16, 16);
    texture.setFlags(texture.flags() | 0x4);
    QCOMPARE(texture.setHighResImageFormat(VTFImageFormat(format)), ok);
    QCOMPARE(texture.flags(), alphaFlags | 0x4);
    QCOMPARE(QSize(texture.image(4, 0, 0, 0).size(), texture.image(0, 0, 0, 0).size()), bytes);
    QVERIFY(!summary(texture).contains(QLatin1String("BADSIZE")));
}

void TestVTFDocument::imagesKeepTheirPixels()
{
    CFileVTF texture(4, 4);
    QVERIFY(texture.setFrameCount(2));
    const QByteArray pixels = repeatedPixel("10203040", 16);
    QVERIFY(texture.setImage(pixels, 4, 4, 2, 1, 0, 0, false));
    // Wrong level size, byte count or position.
    QVERIFY(!texture.setImage(pixels, 4, 4, 1, 1, 0, 0, false));
    QVERIFY(!texture.setImage(pixels.left(60), 4, 4, 2, 1, 0, 0, false));
    QVERIFY(!texture.setImage(pixels, 4, 4, 2, 2, 0, 0, false));
    QVERIFY(!texture.setImage(pixels, 4, 4, 2, 0, 1, 0, false));
    // An index past the counts is clamped to the last member.
    int mip = 9, frame = 5, face = 0, slice = 2;
    texture.clampImageIndex(mip, frame, face, slice);
    QCOMPARE(QList<int>({mip, frame, face, slice}), QList<int>({2, 1, 0, 0}));

    QVERIFY(texture.setHighResImageFormat(IMAGE_FORMAT_BGR888));
    QCOMPARE(texture.image(2, 1, 0, 0), repeatedPixel("302010", 16));
    QCOMPARE(texture.image(2, 0, 0, 0), QByteArray(48, '\0'));
    QVERIFY(texture.setHighResImageFormat(IMAGE_FORMAT_RGBA8888));
    QByteArray rgba;
    QVERIFY(texture.decodeImage(2, 1, 0, 0, rgba));
    QCOMPARE(rgba, repeatedPixel("102030ff", 16));

    // Encoded bytes are stored as they are.
    QVERIFY(texture.setImage(repeatedPixel("01020304", 4), 2, 2, 1, 0, 0, 0, true));
    QCOMPARE(texture.image(1, 0, 0, 0), repeatedPixel("01020304", 4));
}

void TestVTFDocument::resources()
{
    CFileVTF texture(1, 1);
    QCOMPARE(texture.addResource(0x02444F4C)->data, 0x1E1E1E1Eu);
    texture.addResource(0x10)->payload = "sheet";
    // Identifiers match whatever the flag byte says.
    QCOMPARE(texture.findResource(0x02000010)->payload, QByteArray("sheet"));
    texture.removeResource(0x00444F4C);
    texture.removeResource(0x30);
    QCOMPARE(texture.resources().size(), 1);
    QCOMPARE(texture.addResource(0x30)->data, 0u);
}

QTEST_GUILESS_MAIN(TestVTFDocument)
#include "tst_vtfdocument.moc"
