#include "CFileVTF.h"
#include "Resampler.h"
#include "VTFFixture.h"
#include "VTFImageTools.h"

#include <Magick++.h>

#include <QtTest>

#include <cmath>
#include <vector>

namespace {
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

class TestVTFOperations : public QObject
{
    Q_OBJECT

private slots:
    void mipmapRanges();
    void hdrMipmapsKeepTheirValues();
    void copiesGammaReflectivity();
    void spheremaps();
    void thumbnails();
    void resamplerFilters();
    void resamplerRefusals();
    void resamplerBoundaries();
};

void TestVTFOperations::mipmapRanges()
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

void TestVTFOperations::hdrMipmapsKeepTheirValues()
{
    // 16-bit levels are resized as stored: a tone-mapped pass would change
    // every value.
    const VTFFixture f = VTFFixture::from("format:24 bpp:8 side:2 mips:2");
    QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(f.build()));
    QVERIFY(texture);
    texture->generateMipmaps(1, 0, 1, 0, 0, 0, 0, 0, 0, 2);
    QCOMPARE(texture->image(0, 0, 0, 0), QByteArray(8, VTFFixture::pixelByte(1, 0, 0, 0)));
}

void TestVTFOperations::copiesGammaReflectivity()
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
    // The centre sees Front, the corners the mean of Down; off the centre the
    // reflection leaves through the face on that side.
    const QList<QByteArray> seen = {pixelAt(texture, 6, 4, 4), pixelAt(texture, 6, 0, 0),
                                    pixelAt(texture, 6, 7, 7), pixelAt(texture, 6, 4, 6),
                                    pixelAt(texture, 6, 1, 4), pixelAt(texture, 6, 6, 4)};
    QCOMPARE(seen, QList<QByteArray>(
                       {colours[3], colours[5], colours[5], colours[4], colours[0], colours[2]}));
}

void TestVTFOperations::thumbnails()
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

void TestVTFOperations::resamplerFilters()
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
    QVERIFY(QByteArray(resamplerFilterName(7)) == "lanczos4" && !resamplerFilterName(16));
}

void TestVTFOperations::resamplerRefusals()
{
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
}

void TestVTFOperations::resamplerBoundaries()
{
    // Index j of five samples: wrap, reflect, clamp.
    const int table[][4] = {{2, 2, 2, 2}, {-1, 4, 1, 0}, {-5, 0, 4, 0}, {-7, 3, 4, 0},
                            {5, 0, 4, 4}, {9, 4, 0, 4},  {12, 2, 0, 4}};
    for (const auto &row : table)
        QCOMPARE(QList<int>({resamplerBoundaryIndex(row[0], 5, BOUNDARY_WRAP),
                             resamplerBoundaryIndex(row[0], 5, BOUNDARY_REFLECT),
                             resamplerBoundaryIndex(row[0], 5, BOUNDARY_CLAMP)}),
                 QList<int>({row[1], row[2], row[3]}));
}

int main(int argc, char **argv)
{
    Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);
    QCoreApplication application(argc, argv);
    TestVTFOperations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vtfoperations.moc"
