#include "VTFConvert.h"
#include "VTFFixture.h"
#include "VTFFormat.h"
#include "VTFImageTools.h"
#include "VTFMagick.h"
#include "VTFQImage.h"

#include <squish.h>

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QtTest>

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// The four crafted pixels of a 4 x 4 image (repeated four times): alpha 0x78,
// 0, 128 and 255 (the 5551 threshold); 16 and 17 (the 4444 steps); values
// that quantise differently in 565 and 555.
const char *const CraftedPixels = "12345678 ff008000 10117f80 c86432ff";

QByteArray noise(int width, int height, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray rgba(width * height * 4, '\0');
    for (char &c : rgba)
        c = char(rng.bounded(256));
    return rgba;
}

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
} // namespace

// The pixel-format library (with libsquish as the outside judge) and the
// texture document.
class TestVTFPixels : public QObject
{
    Q_OBJECT

private slots:
    void sizesAndNames();
    void roundTrip_data();
    void roundTrip();
    void refusals();
    void dxtEncoderConfiguration_data();
    void dxtEncoderConfiguration();
    void dxtBlocks();
    void hdrToneMap_data();
    void hdrToneMap();
    void tables();
    void qimageModes();
    void magick();
    void construction_data();
    void construction();
    void countChanges_data();
    void countChanges();
    void thumbnailImages();
    void imageFormat_data();
    void imageFormat();
    void imagesKeepTheirPixels();
    void resources();
};

void TestVTFPixels::sizesAndNames()
{
    QCOMPARE(vtfComputeImageSize(1, 1, IMAGE_FORMAT_DXT1), quint64(8));
    QCOMPARE(vtfComputeImageSize(1, 1, IMAGE_FORMAT_DXT5), quint64(16));
    // DXT sides round up to 4: 6 x 2 is stored as 8 x 4.
    QCOMPARE(vtfComputeImageSize(6, 2, IMAGE_FORMAT_DXT1), quint64(16));
    QCOMPARE(vtfComputeImageSize(3, 5, IMAGE_FORMAT_RGB888), quint64(45));
    QCOMPARE(vtfComputeImageSize(4, 4, IMAGE_FORMAT_NONE), quint64(0));
    QCOMPARE(vtfComputeImageSize(4, 4, VTFImageFormat(27)), quint64(0));
    QCOMPARE(vtfComputeImageSize(65535, 65535, IMAGE_FORMAT_RGBA16161616),
             quint64(65535) * 65535 * 8);
    // The top bit has a name; out of range or several bits, none.
    QCOMPARE(vtfFlagName(0x80000000), QStringLiteral("Flag 31"));
    QVERIFY(vtfFormatName(VTFImageFormat(27)).isNull() && vtfFlagName(0x1000 | 0x2000).isNull());
    QVERIFY(vtfFaceName(7).isNull() && vtfFilterName(0).isEmpty());
}

void TestVTFPixels::roundTrip_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<QByteArray>("decoded");

    const QByteArray same = hex(CraftedPixels);
    auto row = [&](const char *name, VTFImageFormat format, const char *encoded,
                   const QByteArray &decoded) {
        QTest::newRow(name) << int(format) << hex(encoded) << decoded;
    };
    row("RGBA8888", IMAGE_FORMAT_RGBA8888, CraftedPixels, same);
    row("ABGR8888", IMAGE_FORMAT_ABGR8888, "78563412 008000ff 807f1110 ff3264c8", same);
    // Stored G, B, A, R.
    row("ARGB8888", IMAGE_FORMAT_ARGB8888, "34567812 008000ff 117f8010 6432ffc8", same);
    row("BGRA8888", IMAGE_FORMAT_BGRA8888, "56341278 8000ff00 7f111080 3264c8ff", same);
    // X is padding: written 255, read as opaque whatever it holds.
    const QByteArray opaque = hex("123456ff ff0080ff 10117fff c86432ff");
    row("BGRX8888", IMAGE_FORMAT_BGRX8888, "563412ff 8000ffff 7f1110ff 3264c8ff", opaque);
    row("RGB888", IMAGE_FORMAT_RGB888, "123456 ff0080 10117f c86432", opaque);
    row("BGR888", IMAGE_FORMAT_BGR888, "563412 8000ff 7f1110 3264c8", opaque);
    const QByteArray keyed = hex("123456ff 0000ff00 10117fff c86432ff");
    row("RGB888_BLUESCREEN", IMAGE_FORMAT_RGB888_BLUESCREEN, "123456 0000ff 10117f c86432", keyed);
    row("BGR888_BLUESCREEN", IMAGE_FORMAT_BGR888_BLUESCREEN, "563412 ff0000 7f1110 3264c8", keyed);
    const QByteArray in565 = hex("103452ff ff0084ff 10107bff ce6531ff");
    row("RGB565", IMAGE_FORMAT_RGB565, "a251 1f80 8278 3933", in565);
    row("BGR565", IMAGE_FORMAT_BGR565, "aa11 10f8 8f10 26cb", in565);
    // Bit 15 is alpha >= 128; the X variant always sets it and reads opaque.
    row("BGRX5551", IMAGE_FORMAT_BGRX5551, "ca88 10fc 4f88 86e5",
        hex("103152ff ff0084ff 10107bff ce6331ff"));
    row("BGRA5551", IMAGE_FORMAT_BGRA5551, "ca08 107c 4f88 86e5",
        hex("10315200 ff008400 10107bff ce6331ff"));
    // Byte 0 is G, B nibbles, byte 1 A, R; 16 encodes as 0 and 17 as 1.
    row("BGRA4444", IMAGE_FORMAT_BGRA4444, "3571 070f 1770 52fb",
        hex("11335577 ff007700 00117777 bb5522ff"));
    row("I8", IMAGE_FORMAT_I8, "31 82 25 81", hex("313131ff 828282ff 252525ff 818181ff"));
    row("IA88", IMAGE_FORMAT_IA88, "3178 8200 2580 81ff",
        hex("31313178 82828200 25252580 818181ff"));
    row("A8", IMAGE_FORMAT_A8, "78 00 80 ff", hex("ffffff78 ffffff00 ffffff80 ffffffff"));
    row("UV88", IMAGE_FORMAT_UV88, "1234 ff00 1011 c864",
        hex("123400ff ff0000ff 101100ff c86400ff"));
    row("RGBA16161616", IMAGE_FORMAT_RGBA16161616,
        "1212343456567878 ffff000080800000 101011117f7f8080 c8c864643232ffff", same);
}

void TestVTFPixels::roundTrip()
{
    QFETCH(int, format);
    QFETCH(QByteArray, encoded);
    QFETCH(QByteArray, decoded);

    const auto f = VTFImageFormat(format);
    QByteArray stored;
    QVERIFY(vtfConvertFromRGBA8888(hex(CraftedPixels).repeated(4), 4, 4, f, stored));
    QCOMPARE(stored.toHex(), encoded.repeated(4).toHex());
    QByteArray rgba;
    QVERIFY(vtfConvertToRGBA8888(stored, 4, 4, f, rgba));
    QCOMPARE(rgba.toHex(), decoded.repeated(4).toHex());
}

void TestVTFPixels::refusals()
{
    QByteArray target("keep");
    // A source of the wrong size leaves the target as it was, both ways.
    QVERIFY(!vtfConvertToRGBA8888(QByteArray(15, '\0'), 2, 2, IMAGE_FORMAT_RGBA8888, target));
    QVERIFY(!vtfConvertFromRGBA8888(QByteArray(15, '\0'), 2, 2, IMAGE_FORMAT_RGB888, target));
    // P8 never converts; the encoder has sized its target by then.
    QVERIFY(!vtfConvertToRGBA8888(QByteArray(4, '\0'), 2, 2, IMAGE_FORMAT_P8, target));
    QCOMPARE(target, QByteArray("keep"));
    QVERIFY(!vtfConvertFromRGBA8888(QByteArray(16, '\0'), 2, 2, IMAGE_FORMAT_P8, target));
    QCOMPARE(target.size(), 4);
    QVERIFY(!vtfConvertFromRGBA8888(QByteArray(16, '\0'), 2, 2, VTFImageFormat(27), target));
    // A zero side succeeds with an empty image; NONE gives zeros of the size.
    QVERIFY(vtfConvertToRGBA8888(QByteArray(), 0, 7, IMAGE_FORMAT_DXT5, target));
    QVERIFY(target.isEmpty());
    QVERIFY(vtfConvertToRGBA8888(QByteArray(), 2, 1, IMAGE_FORMAT_NONE, target));
    QCOMPARE(target, QByteArray(8, '\0'));
    // The source may be the target.
    QByteArray inPlace = hex("01020304");
    QVERIFY(vtfConvertFromRGBA8888(inPlace, 1, 1, IMAGE_FORMAT_BGR888, inPlace));
    QCOMPARE(inPlace.toHex(), QByteArray("030201"));
    // Decoding alone: 16-bit channels keep their high byte (0x1234 gives
    // 0x12), and only pure blue is the blue screen.
    QVERIFY(vtfConvertToRGBA8888(hex("3412ff00ffff0001"), 1, 1, IMAGE_FORMAT_RGBA16161616, target));
    QCOMPARE(target.toHex(), QByteArray("1200ff00"));
    QVERIFY(vtfConvertToRGBA8888(hex("0001ff"), 1, 1, IMAGE_FORMAT_RGB888_BLUESCREEN, target));
    QCOMPARE(target.toHex(), QByteArray("0001ffff"));
}

void TestVTFPixels::dxtEncoderConfiguration_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("squishFlags");
    QTest::addColumn<int>("oldFlags");

    const int iterative = squish::kColourIterativeClusterFit;
    const int weighted = iterative | squish::kWeightColourByAlpha;
    QTest::newRow("DXT1") << int(IMAGE_FORMAT_DXT1) << (squish::kDxt1 | iterative) << 289;
    QTest::newRow("DXT1 one-bit") << int(IMAGE_FORMAT_DXT1_ONEBITALPHA)
                                  << (squish::kDxt1 | weighted) << 417;
    QTest::newRow("DXT3") << int(IMAGE_FORMAT_DXT3) << (squish::kDxt3 | weighted) << 418;
    QTest::newRow("DXT5") << int(IMAGE_FORMAT_DXT5) << (squish::kDxt5 | weighted) << 420;
}

void TestVTFPixels::dxtEncoderConfiguration()
{
    QFETCH(int, format);
    QFETCH(int, squishFlags);
    QFETCH(int, oldFlags);

    // Not square: the sides must not be swapped on the way to libsquish.
    const int width = 16, height = 8;
    const QByteArray rgba = noise(width, height, 21);
    QByteArray encoded;
    QVERIFY(vtfConvertFromRGBA8888(rgba, width, height, VTFImageFormat(format), encoded));

    QByteArray input = rgba;
    if (format == IMAGE_FORMAT_DXT1) {
        for (int i = 3; i < input.size(); i += 4)
            input[i] = char(255);
    }
    const auto *pixels = reinterpret_cast<const squish::u8 *>(input.constData());
    float metric[3] = {0.2126f, 0.7152f, 0.0722f};
    QByteArray expected(encoded.size(), '\0');
    squish::CompressImage(pixels, width, height, expected.data(), squishFlags, metric);
    QCOMPARE(encoded.toHex(), expected.toHex());
    // Decoding reads the blocks as the format's own kind.
    QByteArray ours, theirs(width * height * 4, '\0');
    QVERIFY(vtfConvertToRGBA8888(encoded, width, height, VTFImageFormat(format), ours));
    squish::DecompressImage(reinterpret_cast<squish::u8 *>(theirs.data()), width, height,
                            encoded.constData(),
                            squishFlags & (squish::kDxt1 | squish::kDxt3 | squish::kDxt5));
    QCOMPARE(ours.toHex(), theirs.toHex());

    // The old flag word passed raw means plain cluster fit with uniform weights.
    QByteArray raw(encoded.size(), '\0');
    squish::CompressImage(pixels, width, height, raw.data(), oldFlags);
    QVERIFY(raw != encoded);
}

void TestVTFPixels::dxtBlocks()
{
    // A known block: 16 opaque red texels.
    QByteArray decoded;
    QVERIFY(vtfConvertToRGBA8888(hex("00f81f0000000000"), 4, 4, IMAGE_FORMAT_DXT1, decoded));
    QCOMPARE(decoded.toHex(), hex("ff0000ff").repeated(16).toHex());
    // A 1 x 1 level is one block; only its first texel is kept.
    QVERIFY(vtfConvertToRGBA8888(hex("00f81f0000000000"), 1, 1, IMAGE_FORMAT_DXT1, decoded));
    QCOMPARE(decoded.toHex(), QByteArray("ff0000ff"));

    // Alphas below 128 and from 128 up, alternating, on a grey block.
    QByteArray rgba;
    const uchar alphas[4] = {0, 127, 128, 255};
    for (int i = 0; i < 16; ++i)
        rgba.append(hex("808080")).append(char(alphas[i % 4]));
    QByteArray blocks;
    QVERIFY(vtfConvertFromRGBA8888(rgba, 4, 4, IMAGE_FORMAT_DXT1, blocks));
    QVERIFY(vtfConvertToRGBA8888(blocks, 4, 4, IMAGE_FORMAT_DXT1, decoded));
    for (int i = 0; i < 16; ++i)
        QCOMPARE(int(uchar(decoded[4 * i + 3])), 255);

    QVERIFY(vtfConvertFromRGBA8888(rgba, 4, 4, IMAGE_FORMAT_DXT1_ONEBITALPHA, blocks));
    QVERIFY(vtfConvertToRGBA8888(blocks, 4, 4, IMAGE_FORMAT_DXT1_ONEBITALPHA, decoded));
    for (int i = 0; i < 16; ++i)
        QCOMPARE(int(uchar(decoded[4 * i + 3])), alphas[i % 4] < 128 ? 0 : 255);
}

void TestVTFPixels::hdrToneMap_data()
{
    // The stored pixel, shift, gamma, luminance (0: computed), the decoded pixel.
    QTest::addColumn<QString>("row");
    // R 0x3000, G 0x28FF (only its high byte counts), B 0x1800, A 0xABCD;
    // key 1.25. Worked by hand: red 138.56, green 108.38, blue 54.62.
    QTest::newRow("given luminance") << "0030ff280018cdab 0.05 1.5 12000 8a6c36ab";
    // Average luminance of the one pixel: 10535.093 (green as stored).
    QTest::newRow("computed luminance") << "0030ff280018cdab 0.05 1.5 0 96753bab";
    QTest::newRow("clamped") << "008000200010cdab 0.1 2 10000 ff3513ab";
    // Black: luminance 0 gives factor 0, so only the shift remains.
    QTest::newRow("black, shifted") << "00000000000000ff 0.4 4 0 060606ff";
    // A negative base raised to 2.5 is NaN: 0, not undefined.
    QTest::newRow("negative base") << "0000000000000000 -0.5 2.5 0 00000000";
}

void TestVTFPixels::hdrToneMap()
{
    QFETCH(QString, row);
    const QStringList part = row.split(QLatin1Char(' '));
    QByteArray rgba;
    QVERIFY(vtfConvertToRGBA8888(hex(qPrintable(part[0])).repeated(4), 2, 2,
                                 IMAGE_FORMAT_RGBA16161616F, rgba, 1.25f, part[1].toFloat(),
                                 part[2].toFloat(), part[3].toFloat()));
    QCOMPARE(rgba.toHex(), part[4].toLatin1().repeated(4));
}

void TestVTFPixels::tables()
{
    // Reflectivity: rows averaged, then rows; alpha ignored.
    float r = 0, g = 0, b = 0;
    vtfComputeImageReflectivity(hex("ffffff00 00000000 ff000000 ff000000"), 2, 2, r, g, b);
    QCOMPARE(QList<float>({r, g, b}), QList<float>({0.75f, 0.25f, 0.25f}));

    QByteArray rgba = hex("40ff0011");
    vtfApplyGamma(rgba, 1, 1, 2.0f);
    QCOMPARE(rgba.toHex(), QByteArray("7fff0011"));
    // Gamma 0 or below gives clamped values, not undefined conversions.
    vtfApplyGamma(rgba, 1, 1, -1.0f);
    QCOMPARE(rgba.toHex(), QByteArray("ffffff11"));
    // A buffer shorter than its sides is left alone.
    vtfApplyGamma(rgba, 2, 2, 2.0f);
    QCOMPARE(rgba.toHex(), QByteArray("ffffff11"));

    QByteArray square = hex("01010101 02020202 03030303 04040404");
    vtfFlipVertical(square, 2, 2);
    QCOMPARE(square.toHex(), QByteArray("03030303040404040101010102020202"));
    vtfMirrorHorizontal(square, 2, 2);
    QCOMPARE(square.toHex(), QByteArray("04040404030303030202020201010101"));
}

void TestVTFPixels::qimageModes()
{
    // (200, 100, 50) at alpha 128 over the checkerboard: the light cell (153)
    // at x 0, the dark one (102) at x 8. Plain channels are shown by the editor.
    const QImage image = vtfQImageFromImage(hex("c8643280").repeated(16 * 16), 16, 16,
                                            VTF_CHANNEL_COLOR | VTF_CHANNEL_KEEP_ALPHA, true);
    QCOMPARE(QList<QRgb>({image.pixel(0, 0), image.pixel(8, 0)}),
             QList<QRgb>({qRgb(176, 126, 101), qRgb(151, 100, 75)}));
    QVERIFY(vtfQImageFromImage(QByteArray(15, '\0'), 2, 2, VTF_CHANNEL_COLOR, false).isNull());

    QImage source(2, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(1, 2, 3, 4));
    source.setPixel(1, 0, qRgba(250, 251, 252, 253));
    QCOMPARE(vtfImageFromQImage(source).toHex(), QByteArray("01020304fafbfcfd"));
}

void TestVTFPixels::magick()
{
    // Every byte value in every channel, on sides that are not powers of two.
    QByteArray rgba;
    for (int i = 0; i < 7 * 37; ++i)
        rgba.append(char(i)).append(char(255 - i)).append(char(i * 7)).append(char(i * 13));
    const Magick::Image image = vtfMagickFromImage(rgba, 7, 37);
    QCOMPARE(int(image.columns()), 7);
    QCOMPARE(vtfImageFromMagick(image).toHex(), rgba.toHex());

    QImage source(1, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(10, 20, 30, 40));
    QCOMPARE(vtfImageFromMagick(vtfMagickFromQImage(source)).toHex(), QByteArray("0a141e28"));
    QVERIFY(!vtfMagickFromImage(rgba, 8, 37).isValid());

    // An opaque image keeps its colour whatever the filter, at the exact size.
    for (int filter : {1, 12, 22}) {
        Magick::Image opaque = vtfMagickFromImage(hex("c86432ff").repeated(64), 8, 8);
        QVERIFY(vtfResizeMagick(opaque, 4, 2, filter));
        QCOMPARE(vtfImageFromMagick(opaque).toHex(), hex("c86432ff").repeated(8).toHex());
    }
    // Colour is not weighted by alpha: a transparent red and an opaque blue
    // average to purple, half transparent.
    Magick::Image mixed = vtfMagickFromImage(hex("ff000000 0000ffff"), 2, 1);
    QVERIFY(vtfResizeMagick(mixed, 1, 1, 2));
    const QByteArray pixel = vtfImageFromMagick(mixed);
    QCOMPARE(pixel.size(), 4);
    for (int c : {0, 2, 3})
        QVERIFY2(qAbs(int(uchar(pixel[c])) - 127) <= 1, pixel.toHex().constData());
    QCOMPARE(int(uchar(pixel[1])), 0);
}

void TestVTFPixels::construction_data()
{
    // The texture, then its reference size@level, level count, levels 0 and
    // 2, the largest level, and the thumbnail a format gives it: the largest
    // level within 16 x 16, else the smallest level halved until it fits.
    QTest::addColumn<QString>("row");
    QTest::newRow("256x64") << "256x64|4x1@2 9 1x1 4x1 256x64 16x4";
    QTest::newRow("100x0") << "100x0|1x1@0 1 1x1 4x4 1x1 1x1";
    QTest::newRow("1x8") << "1x8|1x8@3 4 1x1 1x4 1x8 1x8";
    // Chains beyond the 13 levels a mipmap-count request offers are built whole.
    QTest::newRow("32768x1") << "32768x1|32768x1@15 16 1x1 4x1 32768x1 16x1";
    // A file with one level: level 0 is the full size, and the thumbnail
    // halves both its sides together.
    QTest::newRow("one 256x256 level")
        << "256x256 levels:1|1x1@-8 1 256x256 1024x1024 256x256 16x16";
    QTest::newRow("one 512x128 level") << "512x128 levels:1|4x1@-7 1 512x128 2048x512 512x128 16x4";
}

void TestVTFPixels::construction()
{
    QFETCH(QString, row);
    QScopedPointer<CFileVTF> texture(::texture(row.section('|', 0, 0)));
    const VTFReferenceSize ref = texture->referenceSize();
    auto size = [&](int level) {
        return QString::asprintf("%dx%d", texture->mipmapWidth(level),
                                 texture->mipmapHeight(level));
    };
    const QString top = size(texture->mipmapCount() - 1);
    QCOMPARE(QString::asprintf("%dx%d", texture->width(), texture->height()), top);
    QVERIFY(!summary(*texture).contains(QLatin1String("BADSIZE")));
    QVERIFY(texture->setLowResImageFormat(IMAGE_FORMAT_DXT1));
    const int w = texture->lowResImageWidth(), h = texture->lowResImageHeight();
    QCOMPARE(quint64(texture->lowResImage().size()),
             vtfComputeImageSize(quint16(w), quint16(h), IMAGE_FORMAT_DXT1));
    QCOMPARE(QString::asprintf("%dx%d@%d %d ", ref.width, ref.height, ref.level,
                               texture->mipmapCount()) +
                 QStringList({size(0), size(2), top, QString::asprintf("%dx%d", w, h)}).join(' '),
             row.section('|', 1));
}

void TestVTFPixels::countChanges_data()
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

void TestVTFPixels::countChanges()
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

void TestVTFPixels::thumbnailImages()
{
    CFileVTF texture(256, 256);
    for (int format : {int(IMAGE_FORMAT_P8), int(IMAGE_FORMAT_RGBA16161616F), 27, -2})
        QVERIFY(!texture.setLowResImageFormat(VTFImageFormat(format)));
    // Encoded bytes need a format; sides must be powers of two up to 16.
    QVERIFY(!texture.setLowResImage(QByteArray(128, '\0'), 16, 16, true));
    QVERIFY(!texture.setLowResImage(hex("ffffffff").repeated(32 * 32), 32, 32, false));
    QVERIFY(!texture.setLowResImage(hex("ffffffff").repeated(9), 3, 3, false));
    QVERIFY(!texture.setLowResImage(hex("ffffffff").repeated(15), 4, 4, false));
    QCOMPARE(texture.lowResImageFormat(), IMAGE_FORMAT_NONE);

    // RGBA8888 into a texture without a thumbnail becomes DXT1.
    QVERIFY(texture.setLowResImage(hex("ff8200ff").repeated(16 * 8), 16, 8, false));
    QCOMPARE(texture.lowResImageFormat(), IMAGE_FORMAT_DXT1);
    QCOMPARE(QSize(texture.lowResImageWidth(), texture.lowResImageHeight()), QSize(16, 8));
    QCOMPARE(texture.lowResImage().size(), 64);
    // A format change decodes and re-encodes.
    QVERIFY(texture.setLowResImageFormat(IMAGE_FORMAT_BGR888));
    QCOMPARE(texture.lowResImage(), hex("0082ff").repeated(16 * 8));
    // None drops it.
    QVERIFY(texture.setLowResImageFormat(IMAGE_FORMAT_NONE));
    QVERIFY(texture.lowResImageWidth() == 0 && texture.lowResImage().isEmpty());
}

void TestVTFPixels::imageFormat_data()
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
    // Padding is not alpha: both flags go.
    row("BGRX8888", IMAGE_FORMAT_BGRX8888, true, 0, QSize(1024, 4));
    row("RGBA16161616F", IMAGE_FORMAT_RGBA16161616F, false, 0x2000, QSize(1024, 4));
    row("P8", IMAGE_FORMAT_P8, false, 0x2000, QSize(1024, 4));
    row("27", 27, false, 0x2000, QSize(1024, 4));
}

void TestVTFPixels::imageFormat()
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

void TestVTFPixels::imagesKeepTheirPixels()
{
    CFileVTF texture(4, 4);
    QVERIFY(texture.setFrameCount(2));
    const QByteArray pixels = hex("10203040").repeated(16);
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
    QCOMPARE(texture.image(2, 1, 0, 0), hex("302010").repeated(16));
    QCOMPARE(texture.image(2, 0, 0, 0), QByteArray(48, '\0'));
    QVERIFY(texture.setHighResImageFormat(IMAGE_FORMAT_RGBA8888));
    QByteArray rgba;
    QVERIFY(texture.decodeImage(2, 1, 0, 0, rgba));
    QCOMPARE(rgba, hex("102030ff").repeated(16));
}

void TestVTFPixels::resources()
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

VTF_TEST_MAIN(TestVTFPixels, QCoreApplication, )

#include "tst_vtfpixels.moc"
