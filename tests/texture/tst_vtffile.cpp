#include "Fuzz.h"
#include "Resampler.h"
#include "VTFFixture.h"
#include "VTFImageTools.h"

#include <Magick++.h>

#include <QBuffer>
#include <QtTest>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

Q_DECLARE_METATYPE(VTFFixture)

namespace {
QByteArray written(CFileVTF &texture)
{
    QByteArray bytes;
    return texture.write(&bytes) ? bytes : "write failed: " + texture.error().toLatin1();
}

template <typename T>
void patch(QByteArray &bytes, int at, T value)
{
    for (int i = 0; i < int(sizeof(T)); ++i)
        bytes[at + i] = char(quint64(value) >> (8 * i));
}

// One opaque colour per level, all different, each exact in DXT1's 5:6:5.
QByteArray levelColour(int level)
{
    static const char *const red[] = {"00", "84", "ff"};
    static const char *const green[] = {"00", "82", "ff"};
    return QByteArray::fromHex(QByteArray(red[level % 3]) + green[level / 3] + "84ff");
}

void fillLevels(CFileVTF &texture)
{
    for (int level = 0; level < texture.mipmapCount(); ++level) {
        const int w = texture.mipmapWidth(level), h = texture.mipmapHeight(level);
        QVERIFY(texture.setImage(levelColour(level).repeated(w * h), w, h, level, 0, 0, 0, false));
    }
}

// Whose colour each level holds, e.g. "4 4 2 3 4".
QString levelOwners(const CFileVTF &texture)
{
    QStringList owners;
    for (int level = 0; level < texture.mipmapCount(); ++level) {
        QByteArray rgba;
        texture.decodeImage(level, 0, 0, 0, rgba);
        owners << QStringLiteral("?");
        for (int candidate = 0; candidate < texture.mipmapCount(); ++candidate)
            if (rgba == levelColour(candidate).repeated(rgba.size() / 4))
                owners.last() = QString::number(candidate);
    }
    return owners.join(' ');
}

QByteArray pixelAt(const CFileVTF &texture, int face, int x, int y)
{
    QByteArray rgba;
    texture.decodeImage(3, 0, face, 0, rgba);
    return rgba.mid((y * 8 + x) * 4, 4).toHex();
}

// Feeds every source row, taking each destination row as soon as it is ready.
std::vector<float> resample(Resampler &resampler, const std::vector<float> &source, int srcX,
                            int dstX)
{
    std::vector<float> out;
    for (size_t y = 0; y < source.size() / size_t(srcX); ++y) {
        if (!resampler.addSourceRow(source.data() + y * size_t(srcX)))
            break;
        while (const float *row = resampler.takeDestinationRow())
            out.insert(out.end(), row, row + dstX);
    }
    return out;
}
} // namespace

// The texture file (fixtures written byte by byte), the image operations and
// the resampler.
class TestVTFFile : public QObject
{
    Q_OBJECT

private slots:
    void goldenBytes_data();
    void goldenBytes();
    void newTextures();
    void reading_data();
    void reading();
    void cubeMapsAtOtherVersions();
    void damagedFiles();
    void mipmapRanges();
    void hdrMipmapsKeepTheirValues();
    void paddedFormatsAreOpaque_data();
    void paddedFormatsAreOpaque();
    void copiesGammaReflectivity();
    void spheremaps();
    void thumbnails();
    void resampler();
};

void TestVTFFile::goldenBytes_data()
{
    QTest::addColumn<VTFFixture>("file");
    // Each level of the 100 x 12 file the one above halved, rounded down.
    for (const char *words :
         {"7.0", "7.1 thumbnail frames:2", "7.2 depth:2", "7.3",
          "7.4 thumbnail lod ts0 crc sheet kvd", "7.5 flags:0x6000 faces:6 first:0xFFFF",
          "7.3 flags:0x6000 faces:7", "7.2 width:100 height:12 mips:7"})
        QTest::newRow(words) << VTFFixture::from(words);
}

void TestVTFFile::goldenBytes()
{
    QFETCH(VTFFixture, file);

    // Offsets count from where the texture starts in the device.
    QBuffer buffer;
    buffer.setData("prefix" + file.build());
    QVERIFY(buffer.open(QIODevice::ReadOnly) && buffer.seek(6));
    QString error;
    QScopedPointer<CFileVTF> texture(CFileVTF::fromDevice(&buffer, error));
    QVERIFY2(texture, qPrintable(error));
    QCOMPARE(QList<int>({texture->width(), texture->height(), texture->mipmapCount(),
                         texture->frameCount(), texture->faceCount(), texture->sliceCount(),
                         texture->firstFrame()}),
             QList<int>({file.width, file.height, file.mips, file.frames, file.faces, file.slices(),
                         file.firstFrame}));
    for (int level = 0; level < file.mips; ++level)
        for (int frame = 0; frame < file.frames; ++frame)
            for (int face = 0; face < file.faces; ++face)
                for (int slice = 0; slice < file.slices(); ++slice)
                    QCOMPARE(texture->image(level, frame, face, slice),
                             QByteArray(file.levelWidth(level) * file.levelHeight(level) * 4,
                                        VTFFixture::pixelByte(level, frame, face, slice)));
    QCOMPARE(texture->lowResImage(), file.thumbnail ? QByteArray(8, char(0xAB)) : QByteArray());
    for (const auto &[tag, payload] :
         {qMakePair(0x10u, file.sheet), qMakePair(0x44564Bu, file.keyValues)}) {
        const VTFResource *resource = texture->findResource(tag);
        QCOMPARE(resource ? resource->payload : QByteArray(), payload);
    }
    const VTFResource *crc = texture->findResource(0x02435243);
    QCOMPARE(crc ? crc->data : 0u, file.crc ? 0xDEADBEEFu : 0u);

    // The checksum is read but never written: nothing here keeps it true.
    VTFFixture expected = file;
    expected.crc = false;
    QCOMPARE(written(*texture), expected.build());

    // Reading again replaces the content, resources included.
    texture->addResource(0x123456)->payload = "stale";
    QDataStream again(file.build());
    QVERIFY(texture->read(again) && !texture->findResource(0x123456));
}

void TestVTFFile::newTextures()
{
    // 80 header bytes, one entry {0x30, 88}, then 1 + 4 + 16 pixels.
    CFileVTF texture(4, 4);
    QCOMPARE(written(texture).mid(68, 20).toHex(), QByteArray("010000000000000000000000"
                                                              "3000000058000000"));
    CFileVTF one(1, 1);
    QCOMPARE(written(one).size(), 92);
}

void TestVTFFile::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("result");

    const QString incomplete = QStringLiteral("Read Error: Incomplete");
    const QString tooNew = QStringLiteral("Internal Error: Format too new");
    const QString one = QStringLiteral("frames 1, faces 1");
    auto file = [](const char *words) { return VTFFixture::from(words).build(); };
    for (const char *version : {"7.0", "7.1", "7.2", "7.3", "7.4", "7.5", "8.4", "8.2"})
        QTest::newRow(version) << file(version) << one;
    QTest::newRow("8.5") << file("8.5") << tooNew;
    QTest::newRow("7.6") << file("7.6") << tooNew;
    QTest::newRow("6.3") << file("6.3") << "Internal Error: Format too old";
    // Environment maps: six faces where the first frame says so, or from 7.5
    // on (no spheremap); else seven.
    QTest::newRow("7.1 0xFFFF") << file("7.1 flags:0x6000 faces:6 first:0xFFFF")
                                << "frames 1, faces 6";
    QTest::newRow("7.4 first 0") << file("7.4 flags:0x6000 faces:7") << "frames 1, faces 7";
    QTest::newRow("7.5 first 0") << file("7.5 flags:0x6000 faces:6") << "frames 1, faces 6";

    // 80 bytes without images claiming 65535 frames and slices of a 4096 x
    // 4096 chain: terabytes.
    QByteArray huge = file("7.2 mips:0");
    patch<quint32>(huge, 16, 0x10001000);
    patch<quint16>(huge, 24, 0xFFFF);
    patch<quint8>(huge, 56, 13);
    patch<quint16>(huge, 63, 0xFFFF);
    QTest::newRow("65535 frames and slices") << huge << incomplete;
    // NONE, without bytes, still cannot claim billions of images; nor, with
    // bytes after them that a save drops, more blank pixels than one without.
    const QString blank = QStringLiteral("Read Error: Images without data exceed 65536 pixels");
    patch<qint32>(huge, 52, -1);
    QTest::newRow("bytes-free format") << huge << blank;
    QTest::newRow("blank pixels, bytes after")
        << file("7.2 format:-1 bpp:0 mips:1 width:256 height:257") + QByteArray(65792, '\0')
        << blank;
    // A format outside the table has no size here: read, it would show blank
    // and be saved without its bytes. Refused at any size, by its value.
    const QString unsupported = QStringLiteral("Read Error: Unsupported image format %1");
    for (const int value : {27, 34, 35, 70, -2, std::numeric_limits<qint32>::min()}) {
        const QByteArray number = QByteArray::number(value);
        QTest::newRow("image format " + number)
            << file("7.3 side:128 mips:1 bpp:1 format:" + number) << unsupported.arg(value);
        QByteArray thumbnail = file("7.0 thumbnail");
        patch<qint32>(thumbnail, 57, value);
        QTest::newRow("thumbnail format " + number) << thumbnail << unsupported.arg(value);
    }
    QTest::newRow("BC7, 1024 x 1024")
        << file("7.5 side:1024 mips:11 bpp:1 format:70 thumbnail") << unsupported.arg(70);
    // No frames: no images, so a 65535 x 65535 level costs nothing.
    QByteArray empty = huge;
    patch<quint32>(empty, 16, 0xFFFFFFFF);
    patch<qint32>(empty, 52, 25);
    patch<quint16>(empty, 24, 0);
    QTest::newRow("no frames") << empty << "frames 0, faces 0";
    patch<quint8>(huge, 56, 255);
    patch<qint32>(huge, 52, 0);
    patch<quint32>(huge, 24, 1);
    patch<quint16>(huge, 63, 1);
    QTest::newRow("255 levels") << huge << incomplete;
    // One level too large to hold: not sized at all, so not out of memory.
    patch<quint8>(huge, 56, 1);
    patch<quint32>(huge, 16, 0xFFFFFFFF);
    patch<qint32>(huge, 52, 25);
    QTest::newRow("one 65535 x 65535 level") << huge << incomplete;

    // Entries {0x10, 96} at 80 and {0x30, 110} at 88; the sheet's length at 96.
    const QByteArray sheet = file("7.3 sheet");
    for (const auto &[name, at, value] : {std::make_tuple("sheet length", 96, 0xFFFFFFF0u),
                                          std::make_tuple("sheet offset", 84, 0x7FFFFFFFu),
                                          std::make_tuple("image offset", 92, 0xFFFFFFFFu),
                                          std::make_tuple("resource count", 68, 0x20000000u),
                                          std::make_tuple("magic", 0, 0x58465456u)}) {
        QByteArray bad = sheet;
        patch<quint32>(bad, at, value);
        QTest::newRow(name) << bad << (at ? incomplete : "File Error: Magic number mismatch");
    }
}

void TestVTFFile::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, result);

    QString error;
    QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(bytes, error));
    QCOMPARE(texture ? QString::asprintf("frames %d, faces %d", texture->frameCount(),
                                         texture->faceCount())
                     : error,
             result);
}

void TestVTFFile::cubeMapsAtOtherVersions()
{
    // Saved as 7.0 (no spheremap face) and as 7.4, the first frame matches
    // the faces written, so both read back whole.
    for (int faces : {6, 7}) {
        CFileVTF texture(4, 4);
        QVERIFY(texture.setFaceCount(faces));
        texture.setFirstFrame(0);
        texture.setImage(QByteArray(64, 'x'), 4, 4, 2, 0, 5, 0, true);
        for (quint32 minor : {0u, 4u}) {
            texture.setMinorVersion(minor);
            QScopedPointer<CFileVTF> back(CFileVTF::fromByteArray(written(texture)));
            QVERIFY(back);
            QCOMPARE(back->faceCount(), minor == 0 ? 6 : faces);
            QCOMPARE(back->image(2, 0, 5, 0), QByteArray(64, 'x'));
        }
    }
}

void TestVTFFile::damagedFiles()
{
    const QByteArray valid = VTFFixture::from("7.4 thumbnail lod frames:2 sheet kvd").build();
    // A texture file has no optional tail: every shorter prefix is incomplete.
    for (int n = 0; n < valid.size(); ++n) {
        QString error;
        QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(valid.left(n), error));
        QVERIFY2(!texture && error == QLatin1String("Read Error: Incomplete"), qPrintable(error));
    }
    Fuzz::byteFlips(valid, 400, 22, [](const QByteArray &bytes) {
        QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(bytes));
        if (!texture)
            return;
        // What was read writes, and reads back to the same bytes.
        const QByteArray once = written(*texture);
        QScopedPointer<CFileVTF> back(CFileVTF::fromByteArray(once));
        QVERIFY(back);
        QCOMPARE(written(*back), once);
    });
}

void TestVTFFile::mipmapRanges()
{
    // Source, first and last level, whose colour each level of a 16 x 16
    // chain (levels 0 to 4) holds afterwards.
    const QList<QPair<QList<int>, QString>> table = {
        {{4, 0, 4}, "4 4 4 4 4"},  // down from the top
        {{0, 0, 4}, "0 0 0 0 0"},  // up from the smallest
        {{4, 0, 2}, "4 4 4 3 4"},  // lower levels only
        {{2, 1, 99}, "0 2 2 2 2"}, // both ways, clamped
        {{5, 0, 4}, "0 1 2 3 4"},  // no such source
    };
    for (const auto &[range, owners] : table) {
        CFileVTF texture(16, 16);
        fillLevels(texture);
        texture.generateMipmaps(range[0], range[1], range[2], 0, 0, 0, 0, 0, 0, 2);
        QCOMPARE(levelOwners(texture), owners);
    }
}

void TestVTFFile::hdrMipmapsKeepTheirValues()
{
    // 16-bit levels are resized as stored: a tone-mapped pass would change
    // every value.
    const VTFFixture f = VTFFixture::from("format:24 bpp:8 side:2 mips:2");
    QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(f.build()));
    QVERIFY(texture);
    texture->generateMipmaps(1, 0, 1, 0, 0, 0, 0, 0, 0, 2);
    QCOMPARE(texture->image(0, 0, 0, 0), QByteArray(8, VTFFixture::pixelByte(1, 0, 0, 0)));
}

void TestVTFFile::paddedFormatsAreOpaque_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("rgba");
    // X 0, as real files hold it; bit 15 clear.
    QTest::newRow("BGRX8888") << "format:16 bpp:4 mips:1 flags:0" << QByteArray::fromHex("c8643200")
                              << QByteArray::fromHex("3264c8ff");
    QTest::newRow("BGRX5551") << "format:18 bpp:2 mips:1 flags:0" << QByteArray::fromHex("2104")
                              << QByteArray::fromHex("080808ff");
}

void TestVTFFile::paddedFormatsAreOpaque()
{
    QFETCH(QString, words);
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, rgba);

    // The 4 x 4 image is the last thing in the file.
    QByteArray file = VTFFixture::from(words).build();
    file.replace(file.size() - 16 * stored.size(), 16 * stored.size(), stored.repeated(16));
    QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(file));
    QVERIFY(texture);
    // Saved without an edit: the same bytes, so the same colours anywhere.
    QCOMPARE(written(*texture).toHex(), file.toHex());
    QByteArray decoded;
    QVERIFY(texture->decodeImage(0, 0, 0, 0, decoded));
    QCOMPARE(decoded.toHex(), rgba.repeated(16).toHex());
    // Converted to a format with alpha, the picture stays opaque.
    QVERIFY(texture->setHighResImageFormat(IMAGE_FORMAT_BGRA8888));
    QVERIFY(texture->decodeImage(0, 0, 0, 0, decoded));
    QCOMPARE(decoded.toHex(), rgba.repeated(16).toHex());
}

void TestVTFFile::copiesGammaReflectivity()
{
    CFileVTF texture(64, 16);
    QVERIFY(texture.setSliceCount(2) && texture.setHighResImageFormat(IMAGE_FORMAT_DXT5));
    // Copies on one level and gamma 1.0 keep DXT blocks that re-encoding
    // would change.
    const QByteArray blocks = QByteArray::fromHex("ff00492492492492f8001f00e4e4e4e4").repeated(64);
    QVERIFY(texture.setImage(blocks, 64, 16, 6, 0, 0, 0, true));
    QVERIFY(texture.copyImage(6, 0, 0, 0, 6, 0, 0, 1, 2));
    texture.applyGammaCorrection(1.0f, 0, 6, 0, 0, 0, 0, 0, 1);
    QCOMPARE(texture.image(6, 0, 0, 0) + texture.image(6, 0, 0, 1), blocks + blocks);
    QVERIFY(!texture.copyImage(6, 0, 0, 2, 0, 0, 0, 0, 2));
    QVERIFY(!texture.copyImage(6, 0, 0, 0, 7, 0, 0, 0, 2));

    QVERIFY(texture.setHighResImageFormat(IMAGE_FORMAT_RGBA8888));
    QVERIFY(texture.setImage(QByteArray::fromHex("80ff0080").repeated(1024), 64, 16, 6, 0, 0, 1,
                             false));
    // Across levels the image is resampled; gamma corrects every pixel.
    QVERIFY(texture.copyImage(6, 0, 0, 1, 5, 0, 0, 1, 2));
    texture.applyGammaCorrection(2.2f, 6, 6, 0, 0, 0, 0, 1, 1);
    QByteArray corrected = QByteArray::fromHex("80ff0080");
    vtfApplyGamma(corrected, 1, 1, 2.2f);
    QCOMPARE(texture.image(6, 0, 0, 1), corrected.repeated(1024));
    QCOMPARE(texture.image(5, 0, 0, 1), QByteArray::fromHex("80ff0080").repeated(256));

    float r, g, b;
    texture.computeReflectivity(r, g, b, 5, 5, 0, 0, 0, 0, 1, 1);
    QCOMPARE(QList<float>({r, g, b}), QList<float>({std::pow(128 / 255.0f, 2.2f), 1.0f, 0.0f}));
    // Slice 0 of level 5 is black: the mean over both slices halves it.
    texture.computeReflectivity(r, g, b, 5, 5, 0, 0, 0, 0, 0, 1);
    QCOMPARE(g, 0.5f);
}

void TestVTFFile::spheremaps()
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
    // The centre sees Front, the corners the mean of Down; off the centre the
    // reflection leaves through the face on that side.
    const QList<QByteArray> seen = {pixelAt(texture, 6, 4, 4), pixelAt(texture, 6, 0, 0),
                                    pixelAt(texture, 6, 7, 7), pixelAt(texture, 6, 4, 6),
                                    pixelAt(texture, 6, 1, 4), pixelAt(texture, 6, 6, 4)};
    QCOMPARE(seen, QList<QByteArray>(
                       {colours[3], colours[5], colours[5], colours[4], colours[0], colours[2]}));
}

void TestVTFFile::thumbnails()
{
    // Side, levels (0: the full chain), the level the thumbnail comes from.
    // One 64 x 64 level is too large, and only levels above 4 are resized.
    for (const QList<int> &row : {QList<int>{256, 0, 4}, {8, 0, 3}, {64, 1, -1}}) {
        CFileVTF texture{quint16(row[0]), quint16(row[0])};
        if (row[1])
            QVERIFY(texture.resetImageTree(quint16(row[0]), quint16(row[0]), row[1], 1, 1, 1));
        fillLevels(texture);
        QCOMPARE(texture.generateLowResImage(), row[2] >= 0);
        if (row[2] < 0)
            continue;
        const int side = texture.mipmapWidth(row[2]);
        QCOMPARE(QSize(texture.lowResImageWidth(), texture.lowResImageHeight()), QSize(side, side));
        QCOMPARE(texture.lowResImageFormat(), IMAGE_FORMAT_DXT1);
        QVERIFY(texture.setLowResImageFormat(IMAGE_FORMAT_RGBA8888));
        QCOMPARE(texture.lowResImage().left(4).toHex(), levelColour(row[2]).toHex());
    }
}

void TestVTFFile::resampler()
{
    const std::vector<float> source = {1, 3, 10, 20, 5, 7, 30, 40, 0, 0, 8, 8, 4, 4, 8, 8};
    Resampler box(4, 4, 2, 2, BOUNDARY_CLAMP, 0, 0, "box");
    QCOMPARE(resample(box, source, 4, 2), std::vector<float>({4, 25, 2, 8}));
    QVERIFY(!box.addSourceRow(source.data()) && !box.takeDestinationRow());
    box.restart();
    QCOMPARE(resample(box, source, 4, 2), std::vector<float>({4, 25, 2, 8}));

    Resampler tent(1, 1, 3, 3, BOUNDARY_CLAMP, 0, 0, "tent");
    const std::vector<float> out = resample(tent, {0.7f}, 1, 3);
    QCOMPARE(out.size(), size_t(9));
    for (float value : out)
        QVERIFY(qAbs(value - 0.7f) < 1e-6f);
    const ResamplerContributorList *x = nullptr;
    tent.contributorLists(&x, nullptr);
    for (int i = 0; i < 3; ++i) {
        float sum = 0;
        for (quint32 k = 0; k < x[i].count; ++k)
            sum += x[i].contributors[k].weight;
        QCOMPARE(sum, 1.0f);
    }
    QVERIFY(!resamplerFilterName(16));

    const float row[4] = {1, 2, 3, 4};
    Resampler unknown(4, 4, 2, 2, BOUNDARY_CLAMP, 0, 0, "nearest");
    QCOMPARE(unknown.status(), STATUS_BAD_FILTER_NAME);
    QVERIFY(!unknown.addSourceRow(row) && !unknown.takeDestinationRow());
    Resampler empty(0, 4, 2, -1);
    QCOMPARE(empty.status(), STATUS_BAD_SIZE);
    QVERIFY(!empty.addSourceRow(row) && !empty.takeDestinationRow());

    // One destination row needs every source row: more than the buffer holds.
    Resampler tall(1, 20000, 1, 1, BOUNDARY_CLAMP, 0, 0, "box");
    QVERIFY(resample(tall, std::vector<float>(20000, 1.0f), 1, 1).empty());
    QCOMPARE(tall.status(), STATUS_SCAN_BUFFER_FULL);

    // Index j of five samples: wrap, reflect, clamp.
    const int table[][4] = {{2, 2, 2, 2}, {-1, 4, 1, 0}, {-5, 0, 4, 0}, {-7, 3, 4, 0},
                            {5, 0, 4, 4}, {9, 4, 0, 4},  {12, 2, 0, 4}};
    for (const auto &j : table)
        QCOMPARE(QList<int>({resamplerBoundaryIndex(j[0], 5, BOUNDARY_WRAP),
                             resamplerBoundaryIndex(j[0], 5, BOUNDARY_REFLECT),
                             resamplerBoundaryIndex(j[0], 5, BOUNDARY_CLAMP)}),
                 QList<int>({j[1], j[2], j[3]}));
}

VTF_TEST_MAIN(TestVTFFile, QCoreApplication, )

#include "tst_vtffile.moc"
