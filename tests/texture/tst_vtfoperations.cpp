#include "CFileVTF.h"
#include "VTFFixture.h"
#include "VTFImageTools.h"

#include <Magick++.h>

#include <QtTest>

#include <cmath>

namespace {
// One opaque pixel per level, all different, each exact in DXT1's 5:6:5.
QByteArray levelColour(int level)
{
    static const char *const steps[] = {"00", "84", "ff"};
    return QByteArray::fromHex(QByteArray(steps[level % 3]) +
                               (level / 3 == 0   ? "00"
                                : level / 3 == 1 ? "82"
                                                 : "ff") +
                               "84ff");
}

void fillLevels(CFileVTF &texture)
{
    for (int level = 0; level < texture.mipmapCount(); ++level) {
        const int w = texture.mipmapWidth(level), h = texture.mipmapHeight(level);
        QVERIFY(texture.setImage(levelColour(level).repeated(w * h), w, h, level, 0, 0, 0, false));
    }
}

// Which levels hold which level's colour, e.g. "4 4 2 3 4".
QString levelOwners(const CFileVTF &texture)
{
    QStringList owners;
    for (int level = 0; level < texture.mipmapCount(); ++level) {
        QByteArray rgba;
        texture.decodeImage(level, 0, 0, 0, rgba);
        QString owner = QStringLiteral("?");
        for (int candidate = 0; candidate < texture.mipmapCount(); ++candidate)
            if (rgba == levelColour(candidate).repeated(rgba.size() / 4))
                owner = QString::number(candidate);
        owners << owner;
    }
    return owners.join(' ');
}

QByteArray pixelAt(const CFileVTF &texture, int mip, int face, int x, int y)
{
    QByteArray rgba;
    texture.decodeImage(mip, 0, face, 0, rgba);
    return rgba.mid((y * texture.mipmapWidth(mip) + x) * 4, 4).toHex();
}
} // namespace

class TestVTFOperations : public QObject
{
    Q_OBJECT

private slots:
    void mipmapRanges_data();
    void mipmapRanges();
    void hdrMipmapsKeepTheirValues();
    void copies();
    void gamma();
    void reflectivity();
    void spheremaps();
    void thumbnails_data();
    void thumbnails();
};

void TestVTFOperations::mipmapRanges_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("owners");

    // A 16 x 16 chain, levels 0 (1 x 1) to 4.
    QTest::newRow("down from the top") << 4 << 0 << 4 << "4 4 4 4 4";
    QTest::newRow("up from the smallest") << 0 << 0 << 4 << "0 0 0 0 0";
    QTest::newRow("lower levels only") << 4 << 0 << 2 << "4 4 4 3 4";
    QTest::newRow("both ways, clamped") << 2 << 1 << 99 << "0 2 2 2 2";
    QTest::newRow("missing source") << 5 << 0 << 4 << "0 1 2 3 4";
}

void TestVTFOperations::mipmapRanges()
{
    QFETCH(int, source);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, owners);

    CFileVTF texture(16, 16);
    fillLevels(texture);
    texture.generateMipmaps(source, start, end, 0, 0, 0, 0, 0, 0, 2);
    QCOMPARE(levelOwners(texture), owners);
}

void TestVTFOperations::hdrMipmapsKeepTheirValues()
{
    // 16-bit levels are resized as they are stored: a tone-mapped pass would
    // change every value.
    VTFFixture f;
    f.format = 24;
    f.bytesPerPixel = 8;
    f.width = f.height = 2;
    f.mips = 2;
    QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(f.build()));
    QVERIFY(texture);
    texture->generateMipmaps(1, 0, 1, 0, 0, 0, 0, 0, 0, 2);
    QCOMPARE(texture->image(0, 0, 0, 0), QByteArray(8, VTFFixture::pixelByte(1, 0, 0, 0)));
}

void TestVTFOperations::copies()
{
    CFileVTF texture(4, 4);
    QVERIFY(texture.setSliceCount(2));
    QVERIFY(texture.setHighResImageFormat(IMAGE_FORMAT_DXT1));
    // Same level: the encoded bytes, untouched by any decoding.
    const QByteArray block = QByteArray::fromHex("f8001f00e4e4e4e4");
    QVERIFY(texture.setImage(block, 4, 4, 2, 0, 0, 0, true));
    QVERIFY(texture.copyImage(2, 0, 0, 0, 2, 0, 0, 1, 2));
    QCOMPARE(texture.image(2, 0, 0, 1), block);
    // Across levels: resampled to the target's size.
    QVERIFY(texture.setHighResImageFormat(IMAGE_FORMAT_RGBA8888));
    QVERIFY(
        texture.setImage(QByteArray::fromHex("20406080").repeated(16), 4, 4, 2, 0, 0, 1, false));
    QVERIFY(texture.copyImage(2, 0, 0, 1, 0, 0, 0, 0, 2));
    QCOMPARE(texture.image(0, 0, 0, 0).toHex(), QByteArray("20406080"));
    QVERIFY(!texture.copyImage(2, 0, 0, 2, 0, 0, 0, 0, 2));
    QVERIFY(!texture.copyImage(2, 0, 0, 0, 3, 0, 0, 0, 2));
}

void TestVTFOperations::gamma()
{
    CFileVTF texture(64, 16);
    // 1.0 does not even decode: DXT5 blocks would not survive re-encoding.
    QVERIFY(texture.setHighResImageFormat(IMAGE_FORMAT_DXT5));
    const QByteArray blocks = QByteArray::fromHex("ff00492492492492f8001f00e4e4e4e4").repeated(64);
    QVERIFY(texture.setImage(blocks, 64, 16, 6, 0, 0, 0, true));
    texture.applyGammaCorrection(1.0f, 0, 6, 0, 0, 0, 0, 0, 0);
    QCOMPARE(texture.image(6, 0, 0, 0), blocks);

    QVERIFY(texture.setHighResImageFormat(IMAGE_FORMAT_RGBA8888));
    texture.setImage(QByteArray::fromHex("80402080").repeated(1024), 64, 16, 6, 0, 0, 0, false);
    QByteArray expected = QByteArray::fromHex("80402080");
    vtfApplyGamma(expected, 1, 1, 2.2f);
    texture.applyGammaCorrection(2.2f, 6, 6, 0, 0, 0, 0, 0, 0);
    QCOMPARE(texture.image(6, 0, 0, 0), expected.repeated(1024));
    QCOMPARE(texture.image(5, 0, 0, 0), QByteArray(32 * 8 * 4, '\0'));
}

void TestVTFOperations::reflectivity()
{
    CFileVTF texture(4, 4);
    QVERIFY(texture.setFrameCount(2));
    for (int level = 0; level < 3; ++level) {
        const int side = texture.mipmapWidth(level);
        texture.setImage(QByteArray::fromHex("ff8000ff").repeated(side * side), side, side, level,
                         0, 0, 0, false);
    }
    float r, g, b;
    texture.computeReflectivity(r, g, b, 0, 2, 0, 0, 0, 0, 0, 0);
    QCOMPARE(r, 1.0f);
    QVERIFY(qAbs(g - std::pow(128.0f / 255.0f, 2.2f)) < 1e-6f);
    QCOMPARE(b, 0.0f);
    // Frame 1 is black: the mean over both frames halves it.
    texture.computeReflectivity(r, g, b, 0, 2, 0, 1, 0, 0, 0, 0);
    QCOMPARE(r, 0.5f);
}

void TestVTFOperations::spheremaps()
{
    CFileVTF texture(8, 8);
    QVERIFY(!texture.generateSpheremaps(0, 3, 0, 0, 0, 0));
    QCOMPARE(texture.error(), QStringLiteral("Request Error: Image is not an enviroment map"));
    texture.setFlags(texture.flags() | 0x4000);
    QVERIFY(!texture.generateSpheremaps(0, 3, 0, 0, 0, 0));
    QCOMPARE(texture.error(),
             QStringLiteral("Request Error: Enviroment map does not have correct number of faces"));

    QVERIFY(texture.setFaceCount(6));
    // Channels 0 or 255 only: a sum of four samples then scales back exactly.
    const char *colours[] = {"ff0000ff", "00ffffff", "0000ffff",
                             "00ff00ff", "ffff00ff", "ff00ffff"};
    for (int face = 0; face < 6; ++face)
        QVERIFY(texture.setImage(QByteArray::fromHex(colours[face]).repeated(64), 8, 8, 3, 0, face,
                                 0, false));
    QVERIFY(texture.generateSpheremaps(3, 3, 0, 0, 0, 0));
    QCOMPARE(texture.faceCount(), 7);
    QCOMPARE(pixelAt(texture, 3, 6, 4, 4), QByteArray(colours[3])); // Front
    for (int corner : {0, 7})
        QCOMPARE(pixelAt(texture, 3, 6, corner, corner), QByteArray(colours[5])); // Down's mean
    // Off the centre the reflection leaves through the face on that side.
    QCOMPARE(pixelAt(texture, 3, 6, 4, 6), QByteArray(colours[4])); // Up
    QCOMPARE(pixelAt(texture, 3, 6, 1, 4), QByteArray(colours[0])); // Right
    QCOMPARE(pixelAt(texture, 3, 6, 6, 4), QByteArray(colours[2])); // Back
}

void TestVTFOperations::thumbnails_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("levels");
    QTest::addColumn<int>("thumbnailLevel");

    QTest::newRow("256, full chain") << 256 << 0 << 4;
    QTest::newRow("8 x 8, 4 levels") << 8 << 0 << 3;
    // One 64 x 64 level: too large, and only levels above 4 are resized.
    QTest::newRow("no level fits") << 64 << 1 << -1;
}

void TestVTFOperations::thumbnails()
{
    QFETCH(int, side);
    QFETCH(int, levels);
    QFETCH(int, thumbnailLevel);

    CFileVTF texture{quint16(side), quint16(side)};
    if (levels)
        QVERIFY(texture.resetImageTree(quint16(side), quint16(side), levels, 1, 1, 1));
    fillLevels(texture);
    QCOMPARE(texture.generateLowResImage(), thumbnailLevel >= 0);
    if (thumbnailLevel < 0)
        return;
    QCOMPARE(texture.lowResImageFormat(), IMAGE_FORMAT_DXT1);
    const int thumb = texture.mipmapWidth(thumbnailLevel);
    QCOMPARE(QSize(texture.lowResImageWidth(), texture.lowResImageHeight()), QSize(thumb, thumb));
    // Exactly that level's colour (one DXT1 colour endpoint per block).
    QVERIFY(texture.setLowResImageFormat(IMAGE_FORMAT_RGBA8888));
    QCOMPARE(texture.lowResImage().left(4).toHex(), levelColour(thumbnailLevel).toHex());
}

int main(int argc, char **argv)
{
    Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);
    QCoreApplication application(argc, argv);
    TestVTFOperations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vtfoperations.moc"
