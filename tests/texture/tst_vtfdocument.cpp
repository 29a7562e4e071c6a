#include "CFileVTF.h"
#include "VTFConvert.h"

#include <QtTest>

namespace {
// The shape of a texture in one line; "BADSIZE" when an image does not hold
// the bytes of its level.
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
    return QStringLiteral("%1x%2 mips=%3 frames=%4 faces=%5 slices=%6 first=%7 env=%8 bytes=%9%10")
        .arg(texture.width())
        .arg(texture.height())
        .arg(texture.mipmapCount())
        .arg(texture.frameCount())
        .arg(texture.faceCount())
        .arg(texture.sliceCount())
        .arg(texture.firstFrame())
        .arg((texture.flags() & VTFFlag::EnvironmentMap) ? 1 : 0)
        .arg(bytes)
        .arg(sized ? QString() : QStringLiteral(" BADSIZE"));
}

// Applies "name:count" steps; "onelevel" makes the texture one level of its
// full size, as a file with a single mip level reads.
bool apply(CFileVTF &texture, const QString &step, int width, int height)
{
    const QString name = step.section(QLatin1Char(':'), 0, 0);
    const int count = step.section(QLatin1Char(':'), 1, 1).toInt();
    if (name == QLatin1String("onelevel"))
        return texture.resetImageTree(quint16(width), quint16(height), 1, 1, 1, 1);
    if (name == QLatin1String("frames"))
        return texture.setFrameCount(count);
    if (name == QLatin1String("faces"))
        return texture.setFaceCount(count);
    if (name == QLatin1String("slices"))
        return texture.setSliceCount(count);
    if (name == QLatin1String("mips"))
        return texture.setMipmapCount(count);
    if (name == QLatin1String("first")) {
        texture.setFirstFrame(quint16(count));
        return true;
    }
    return false;
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
    void defaults();
    void countChanges_data();
    void countChanges();
    void thumbnailSize_data();
    void thumbnailSize();
    void thumbnailImages();
    void imageFormat_data();
    void imageFormat();
    void imagesKeepTheirPixels();
    void resources();
    void clamping();
};

void TestVTFDocument::construction_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("oneLevel");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<int>("mips");
    QTest::addColumn<QSize>("level0");
    QTest::addColumn<QSize>("level2");
    QTest::addColumn<QSize>("largest");

    QTest::newRow("256x64") << 256 << 64 << false << "4x1@2" << 9 << QSize(1, 1) << QSize(4, 1)
                            << QSize(256, 64);
    QTest::newRow("100x0") << 100 << 0 << false << "1x1@0" << 1 << QSize(1, 1) << QSize(4, 4)
                           << QSize(1, 1);
    QTest::newRow("1x8") << 1 << 8 << false << "1x8@3" << 4 << QSize(1, 1) << QSize(1, 4)
                         << QSize(1, 8);
    // Chains beyond the 13 levels a mipmap-count request offers are built whole.
    QTest::newRow("32768x1") << 32768 << 1 << false << "32768x1@15" << 16 << QSize(1, 1)
                             << QSize(4, 1) << QSize(32768, 1);
    // A file with one 256 x 256 level: level 0 is the full size.
    QTest::newRow("256 one level") << 256 << 256 << true << "1x1@-8" << 1 << QSize(256, 256)
                                   << QSize(1024, 1024) << QSize(256, 256);
}

void TestVTFDocument::construction()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, oneLevel);
    QFETCH(QString, reference);
    QFETCH(int, mips);
    QFETCH(QSize, level0);
    QFETCH(QSize, level2);
    QFETCH(QSize, largest);

    CFileVTF texture{quint16(width), quint16(height)};
    if (oneLevel)
        QVERIFY(apply(texture, QStringLiteral("onelevel"), width, height));
    const VTFReferenceSize ref = texture.referenceSize();
    QCOMPARE(QStringLiteral("%1x%2@%3").arg(ref.width).arg(ref.height).arg(ref.level), reference);
    QCOMPARE(texture.mipmapCount(), mips);
    QCOMPARE(QSize(texture.mipmapWidth(0), texture.mipmapHeight(0)), level0);
    QCOMPARE(QSize(texture.mipmapWidth(2), texture.mipmapHeight(2)), level2);
    QCOMPARE(QSize(texture.width(), texture.height()), largest);
    QVERIFY(!summary(texture).contains(QLatin1String("BADSIZE")));
    const QByteArray top = texture.image(mips - 1, 0, 0, 0);
    QCOMPARE(top, QByteArray(top.size(), '\0'));
}

void TestVTFDocument::defaults()
{
    const CFileVTF texture(16, 16);
    QCOMPARE(texture.displayName(), QStringLiteral("untitled"));
    QCOMPARE(texture.majorVersion(), 7u);
    QCOMPARE(texture.minorVersion(), 3u);
    QCOMPARE(texture.flags(), 0x2000u);
    QCOMPARE(texture.highResImageFormat(), IMAGE_FORMAT_RGBA8888);
    QCOMPARE(texture.lowResImageFormat(), IMAGE_FORMAT_NONE);
    QCOMPARE(texture.reflectivity(1), 0.5f);
    QCOMPARE(texture.bumpmapScale(), 1.0f);
    QCOMPARE(texture.hdrKey(), 1.25f);
    QCOMPARE(texture.hdrShift(), 0.4f);
    QCOMPARE(texture.hdrGamma(), 4.0f);
    QVERIFY(texture.resources().isEmpty());
}

void TestVTFDocument::countChanges_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("result");

    // A 4 x 4 texture has levels of 1, 4 and 16 pixels: 84 bytes per image chain.
    const QString plain =
        QStringLiteral("4x4 mips=3 frames=1 faces=1 slices=1 first=0 env=0 bytes=84");
    QTest::newRow("frames 0") << 4 << 4 << ""
                              << "frames:0" << false << "Request Error: Invalid frame count"
                              << plain;
    QTest::newRow("frames 3") << 4 << 4 << ""
                              << "frames:3" << true << ""
                              << "4x4 mips=3 frames=3 faces=1 slices=1 first=0 env=0 bytes=252";
    QTest::newRow("frames lower the first frame")
        << 4 << 4 << "frames:8 first:5"
        << "frames:2" << true << ""
        << "4x4 mips=3 frames=2 faces=1 slices=1 first=1 env=0 bytes=168";
    QTest::newRow("frames keep 0xFFFF")
        << 4 << 4 << "faces:6 frames:4"
        << "frames:2" << true << ""
        << "4x4 mips=3 frames=2 faces=6 slices=1 first=65535 env=1 bytes=1008";
    QTest::newRow("frames beyond memory")
        << 256 << 256 << ""
        << "frames:65535" << false << "Error: Out of memory"
        << "256x256 mips=9 frames=1 faces=1 slices=1 first=0 env=0 bytes=349524";
    QTest::newRow("faces 6") << 4 << 4 << ""
                             << "faces:6" << true << ""
                             << "4x4 mips=3 frames=1 faces=6 slices=1 first=65535 env=1 bytes=504";
    QTest::newRow("faces 7 after 6")
        << 4 << 4 << "faces:6"
        << "faces:7" << true << ""
        << "4x4 mips=3 frames=1 faces=7 slices=1 first=0 env=1 bytes=588";
    QTest::newRow("faces 1 after 7") << 4 << 4 << "faces:7"
                                     << "faces:1" << true << "" << plain;
    QTest::newRow("faces 2") << 4 << 4 << ""
                             << "faces:2" << false << "Request Error: Invalid face count" << plain;
    QTest::newRow("faces not square")
        << 64 << 32 << ""
        << "faces:6" << false << "Request Error: Envmaps must be square"
        << "64x32 mips=7 frames=1 faces=1 slices=1 first=0 env=0 bytes=10924";
    QTest::newRow("faces on depth")
        << 4 << 4 << "slices:2"
        << "faces:6" << false << "Request Error: Depth textures cannot be envmaps"
        << "4x4 mips=3 frames=1 faces=1 slices=2 first=0 env=0 bytes=168";
    QTest::newRow("slices 0") << 4 << 4 << ""
                              << "slices:0" << false << "Request Error: Invalid slice count"
                              << plain;
    QTest::newRow("slices 3") << 4 << 4 << ""
                              << "slices:3" << false
                              << "Request Error: Slice count not a power of two" << plain;
    QTest::newRow("slices on envmap")
        << 4 << 4 << "faces:6"
        << "slices:2" << false << "Request Error: Depth textures cannot be envmaps"
        << "4x4 mips=3 frames=1 faces=6 slices=1 first=65535 env=1 bytes=504";
    QTest::newRow("slices 4") << 4 << 4 << ""
                              << "slices:4" << true << ""
                              << "4x4 mips=3 frames=1 faces=1 slices=4 first=0 env=0 bytes=336";
    QTest::newRow("slices fewer") << 4 << 4 << "slices:4"
                                  << "slices:2" << true << ""
                                  << "4x4 mips=3 frames=1 faces=1 slices=2 first=0 env=0 bytes=168";
    QTest::newRow("mips 0") << 4 << 4 << ""
                            << "mips:0" << false << "Request Error: Invalid mipmap count" << plain;
    QTest::newRow("mips 14") << 4 << 4 << ""
                             << "mips:14" << false << "Request Error: Invalid mipmap count"
                             << plain;
    QTest::newRow("mips 1 shrinks") << 4 << 4 << ""
                                    << "mips:1" << true << ""
                                    << "1x1 mips=1 frames=1 faces=1 slices=1 first=0 env=0 bytes=4";
    QTest::newRow("mips grow at the large end")
        << 4 << 4 << "frames:2 mips:1"
        << "mips:5" << true << ""
        << "16x16 mips=5 frames=2 faces=1 slices=1 first=0 env=0 bytes=2728";
    // One 16 x 16 level: 13 levels would reach 65536 pixels a side.
    const QString oneLevel =
        QStringLiteral("16x16 mips=1 frames=1 faces=1 slices=1 first=0 env=0 bytes=1024");
    QTest::newRow("mips past 65535")
        << 16 << 16 << "onelevel"
        << "mips:13" << false << "Request Error: Invalid mipmap count" << oneLevel;
    QTest::newRow("mips beyond memory") << 16 << 16 << "onelevel"
                                        << "mips:12" << false << "Error: Out of memory" << oneLevel;
    QTest::newRow("mips above one level")
        << 16 << 16 << "onelevel"
        << "mips:3" << true << ""
        << "64x64 mips=3 frames=1 faces=1 slices=1 first=0 env=0 bytes=21504";
}

void TestVTFDocument::countChanges()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, setup);
    QFETCH(QString, change);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    QFETCH(QString, result);

    CFileVTF texture{quint16(width), quint16(height)};
    for (const QString &step : setup.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        QVERIFY2(apply(texture, step, width, height), qPrintable(step));
    // Success leaves the previous message alone.
    texture.setError(QStringLiteral("earlier"));
    QCOMPARE(apply(texture, change, width, height), ok);
    QCOMPARE(texture.error(), ok ? QStringLiteral("earlier") : error);
    QCOMPARE(summary(texture), result);
}

void TestVTFDocument::thumbnailSize_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("oneLevel");
    QTest::addColumn<QSize>("size");

    QTest::newRow("256x256") << 256 << 256 << false << QSize(16, 16);
    QTest::newRow("256x64") << 256 << 64 << false << QSize(16, 4);
    QTest::newRow("8x8") << 8 << 8 << false << QSize(8, 8);
    // No level fits: the smallest level halved until it does.
    QTest::newRow("one 512x128 level") << 512 << 128 << true << QSize(16, 4);
}

void TestVTFDocument::thumbnailSize()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, oneLevel);
    QFETCH(QSize, size);

    CFileVTF texture{quint16(width), quint16(height)};
    if (oneLevel)
        QVERIFY(apply(texture, QStringLiteral("onelevel"), width, height));
    QVERIFY(texture.setLowResImageFormat(IMAGE_FORMAT_DXT1));
    QCOMPARE(QSize(texture.lowResImageWidth(), texture.lowResImageHeight()), size);
    const int bytes =
        int(vtfComputeImageSize(quint16(size.width()), quint16(size.height()), IMAGE_FORMAT_DXT1));
    QCOMPARE(texture.lowResImage(), QByteArray(bytes, '\0'));
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
    QVERIFY(texture.setLowResImage(QByteArray::fromHex("010203").repeated(4), 2, 2, true));
    QCOMPARE(texture.lowResImage(), QByteArray::fromHex("010203").repeated(4));
    // None drops it.
    QVERIFY(texture.setLowResImageFormat(IMAGE_FORMAT_NONE));
    QCOMPARE(texture.lowResImageWidth(), quint8(0));
    QVERIFY(texture.lowResImage().isEmpty());
}

void TestVTFDocument::imageFormat_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<uint>("alphaFlags");
    QTest::addColumn<int>("topBytes");
    QTest::addColumn<int>("smallestBytes");

    QTest::newRow("same") << int(IMAGE_FORMAT_RGBA8888) << true << 0x2000u << 1024 << 4;
    QTest::newRow("ABGR8888") << int(IMAGE_FORMAT_ABGR8888) << true << 0x2000u << 1024 << 4;
    QTest::newRow("one-bit DXT1") << int(IMAGE_FORMAT_DXT1_ONEBITALPHA) << true << 0x1000u << 128
                                  << 8;
    QTest::newRow("DXT1") << int(IMAGE_FORMAT_DXT1) << true << 0u << 128 << 8;
    QTest::newRow("BGRA5551") << int(IMAGE_FORMAT_BGRA5551) << true << 0x1000u << 512 << 2;
    QTest::newRow("RGBA16161616F")
        << int(IMAGE_FORMAT_RGBA16161616F) << false << 0x2000u << 1024 << 4;
    QTest::newRow("P8") << int(IMAGE_FORMAT_P8) << false << 0x2000u << 1024 << 4;
    QTest::newRow("27") << 27 << false << 0x2000u << 1024 << 4;
}

void TestVTFDocument::imageFormat()
{
    QFETCH(int, format);
    QFETCH(bool, ok);
    QFETCH(uint, alphaFlags);
    QFETCH(int, topBytes);
    QFETCH(int, smallestBytes);

    CFileVTF texture(16, 16);
    texture.setFlags(texture.flags() | 0x4);
    QCOMPARE(texture.setHighResImageFormat(VTFImageFormat(format)), ok);
    QCOMPARE(texture.flags(), alphaFlags | 0x4);
    QCOMPARE(texture.image(4, 0, 0, 0).size(), topBytes);
    QCOMPARE(texture.image(0, 0, 0, 0).size(), smallestBytes);
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
    VTFResource *lod = texture.addResource(0x02444F4C);
    QCOMPARE(lod->data, 0x1E1E1E1Eu);
    VTFResource *sheet = texture.addResource(0x10);
    sheet->payload = "sheet";
    // Identifiers match whatever the flag byte says.
    QCOMPARE(texture.addResource(0x00444F4C), lod);
    QCOMPARE(texture.findResource(0x02000010), sheet);
    QVERIFY(!texture.findResource(0x30));
    QCOMPARE(texture.resources().size(), 2);
    texture.removeResource(0x00444F4C);
    texture.removeResource(0x30);
    QCOMPARE(texture.resources().size(), 1);
    QCOMPARE(texture.resources().first()->payload, QByteArray("sheet"));
    QCOMPARE(texture.addResource(0x30)->data, 0u);
}

void TestVTFDocument::clamping()
{
    CFileVTF texture(8, 8);
    QVERIFY(texture.setFrameCount(3));
    int mip = 9, frame = 5, face = 0, slice = 2;
    texture.clampImageIndex(mip, frame, face, slice);
    QCOMPARE(QList<int>({mip, frame, face, slice}), QList<int>({3, 2, 0, 0}));
    int m0 = 7, m1 = 1, f0 = 0, f1 = 9, c0 = 0, c1 = 0, s0 = 4, s1 = 0;
    texture.clampImageRange(m0, m1, f0, f1, c0, c1, s0, s1);
    QCOMPARE(QList<int>({m0, m1, f0, f1, s0, s1}), QList<int>({1, 3, 0, 2, 0, 0}));
    QVERIFY(texture.hasImage(3, 2, 0, 0));
    QVERIFY(!texture.hasImage(4, 0, 0, 0));
    QVERIFY(!texture.hasImage(0, -1, 0, 0));
}

QTEST_GUILESS_MAIN(TestVTFDocument)
#include "tst_vtfdocument.moc"
