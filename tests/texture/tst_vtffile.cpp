#include "CFileVTF.h"
#include "Fuzz.h"
#include "VTFFixture.h"

#include <QBuffer>
#include <QtEndian>
#include <QtTest>

Q_DECLARE_METATYPE(VTFFixture)

namespace {
// The document a fixture describes, made through the document's own
// operations (never through the reader).
CFileVTF *document(const VTFFixture &f)
{
    auto *d = new CFileVTF(f.width, f.height);
    d->setMajorVersion(f.major);
    d->setMinorVersion(f.minor);
    if ((f.frames > 1 && !d->setFrameCount(f.frames)) ||
        (f.faces > 1 && !d->setFaceCount(f.faces)) ||
        (f.slices() > 1 && !d->setSliceCount(f.slices()))) {
        delete d;
        return nullptr;
    }
    d->setFirstFrame(f.firstFrame);
    if (f.thumbnail) {
        d->setLowResImageFormat(IMAGE_FORMAT_DXT1);
        d->setLowResImage(QByteArray(8, char(0xAB)), 4, 4, true);
    }
    if (!f.sheet.isNull())
        d->addResource(0x10)->payload = f.sheet;
    if (!f.keyValues.isNull())
        d->addResource(0x44564B)->payload = f.keyValues;
    if (f.lod)
        d->addResource(0x02444F4C);
    if (f.ts0)
        d->addResource(0x02305354)->data = 7;
    if (f.crc)
        d->addResource(0x02435243)->data = 0xDEADBEEF;
    for (int level = 0; level < f.mips; ++level)
        for (int frame = 0; frame < f.frames; ++frame)
            for (int face = 0; face < f.faces; ++face)
                for (int slice = 0; slice < f.slices(); ++slice) {
                    const int w = f.levelWidth(level), h = f.levelHeight(level);
                    d->setImage(
                        QByteArray(w * h * 4, VTFFixture::pixelByte(level, frame, face, slice)), w,
                        h, level, frame, face, slice, true);
                }
    return d;
}

QByteArray written(CFileVTF &texture)
{
    QByteArray bytes;
    return texture.write(&bytes) ? bytes
                                 : QByteArray("write failed: ") + texture.error().toLatin1();
}

void patch32(QByteArray &bytes, int at, quint32 value)
{
    qToLittleEndian(value, reinterpret_cast<uchar *>(bytes.data()) + at);
}

void patch16(QByteArray &bytes, int at, quint16 value)
{
    qToLittleEndian(value, reinterpret_cast<uchar *>(bytes.data()) + at);
}

VTFFixture fixture(quint32 minor)
{
    VTFFixture f;
    f.minor = minor;
    return f;
}
} // namespace

class TestVTFFile : public QObject
{
    Q_OBJECT

private slots:
    void goldenBytes_data();
    void goldenBytes();
    void newTextures();
    void versions_data();
    void versions();
    void envmapFaces_data();
    void envmapFaces();
    void hostileHeaders_data();
    void hostileHeaders();
    void nonPowerOfTwo();
    void devicesAndStreams();
    void damagedFiles();
};

void TestVTFFile::goldenBytes_data()
{
    QTest::addColumn<VTFFixture>("file");

    QTest::newRow("7.0") << fixture(0);
    VTFFixture f = fixture(1);
    f.thumbnail = true;
    f.frames = 2;
    QTest::newRow("7.1 thumbnail, 2 frames") << f;
    f = fixture(2);
    f.depth = 2;
    QTest::newRow("7.2 depth 2") << f;
    QTest::newRow("7.3") << fixture(3);
    f = fixture(4);
    f.thumbnail = f.lod = f.ts0 = f.crc = true;
    f.sheet = QByteArray("SHEET\0DATA", 10);
    f.keyValues = "\"key\" \"value\"";
    QTest::newRow("7.4 every resource") << f;
    f = fixture(5);
    f.flags = 0x6000;
    f.faces = 6;
    f.firstFrame = 0xFFFF;
    QTest::newRow("7.5 envmap") << f;
    f.minor = 3;
    f.faces = 7;
    f.firstFrame = 0;
    QTest::newRow("7.3 envmap with spheremap") << f;
}

void TestVTFFile::goldenBytes()
{
    QFETCH(VTFFixture, file);

    const QByteArray bytes = file.build();
    QString error;
    QScopedPointer<CFileVTF> read(CFileVTF::fromByteArray(bytes, error));
    QVERIFY2(read, qPrintable(error));
    QScopedPointer<CFileVTF> built(document(file));
    QVERIFY(built);
    QCOMPARE(read->images(), built->images());
    QCOMPARE(read->lowResImage(), built->lowResImage());
    QCOMPARE(read->flags(), file.flags);
    QCOMPARE(read->firstFrame(), file.firstFrame);
    for (quint32 tag : {0x10u, 0x44564Bu, 0x02444F4Cu, 0x02305354u, 0x02435243u}) {
        const VTFResource *got = read->findResource(tag);
        const VTFResource *want = built->findResource(tag);
        QCOMPARE(bool(got), bool(want));
        // Offsets are the file's; inline values and payloads are the texture's.
        if (got)
            QCOMPARE(qMakePair(got->isInline() ? got->data : 0, got->payload),
                     qMakePair(want->isInline() ? want->data : 0, want->payload));
    }

    // The checksum is read but never written: nothing here keeps it true.
    VTFFixture expected = file;
    expected.crc = false;
    QCOMPARE(written(*read), expected.build());
    QCOMPARE(written(*built), expected.build());
}

void TestVTFFile::newTextures()
{
    // 80 header bytes, one entry {0x30, 88}, then 1 + 4 + 16 pixels.
    CFileVTF texture(4, 4);
    const QByteArray bytes = written(texture);
    QCOMPARE(bytes.size(), 172);
    QCOMPARE(bytes.mid(68, 20).toHex(), QByteArray("01000000"
                                                   "0000000000000000"
                                                   "3000000058000000"));
    QCOMPARE(texture.headerSize(), 88u);
    CFileVTF one(1, 1);
    QCOMPARE(written(one).size(), 92);
}

void TestVTFFile::versions_data()
{
    QTest::addColumn<uint>("major");
    QTest::addColumn<uint>("minor");
    QTest::addColumn<QString>("error");

    for (uint minor = 0; minor <= 5; ++minor)
        QTest::addRow("7.%u", minor) << 7u << minor << QString();
    QTest::newRow("8.4") << 8u << 4u << QString();
    QTest::newRow("8.2 unchecked") << 8u << 2u << QString();
    QTest::newRow("8.5") << 8u << 5u << "Internal Error: Format too new";
    QTest::newRow("7.6") << 7u << 6u << "Internal Error: Format too new";
    QTest::newRow("6.3") << 6u << 3u << "Internal Error: Format too old";
}

void TestVTFFile::versions()
{
    QFETCH(uint, major);
    QFETCH(uint, minor);
    QFETCH(QString, error);

    VTFFixture f = fixture(minor);
    f.major = major;
    QString got;
    QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(f.build(), got));
    QCOMPARE(!texture, !error.isEmpty());
    if (texture)
        QCOMPARE(texture->minorVersion(), minor);
    else
        QCOMPARE(got, error);
}

void TestVTFFile::envmapFaces_data()
{
    QTest::addColumn<uint>("minor");
    QTest::addColumn<int>("firstFrame");
    QTest::addColumn<int>("faces");

    // Six faces where the first frame says so, or from 7.5 on (no spheremap).
    QTest::newRow("7.1 0xFFFF") << 1u << 0xFFFF << 6;
    QTest::newRow("7.1 first 0") << 1u << 0 << 7;
    QTest::newRow("7.4 first 0") << 4u << 0 << 7;
    QTest::newRow("7.5 first 0") << 5u << 0 << 6;
}

void TestVTFFile::envmapFaces()
{
    QFETCH(uint, minor);
    QFETCH(int, firstFrame);
    QFETCH(int, faces);

    VTFFixture f = fixture(minor);
    f.flags = 0x6000;
    f.firstFrame = quint16(firstFrame);
    f.faces = faces;
    QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(f.build()));
    QVERIFY(texture);
    QCOMPARE(texture->faceCount(), faces);

    // Saved as 7.0 and 7.4, the first frame matches the faces written, so the
    // file reads back whole (7.0 has no spheremap face).
    for (quint32 to : {0u, 4u}) {
        texture->setMinorVersion(to);
        QScopedPointer<CFileVTF> back(CFileVTF::fromByteArray(written(*texture)));
        QVERIFY(back);
        QCOMPARE(back->faceCount(), to == 0 ? 6 : faces);
        QCOMPARE(back->images()[2][0].mid(0, 6), texture->images()[2][0].mid(0, 6));
    }
}

void TestVTFFile::hostileHeaders_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    const QString incomplete = QStringLiteral("Read Error: Incomplete");
    // A header without images that claims 65535 frames and slices of a
    // 4096 x 4096 chain: terabytes, from 80 bytes.
    VTFFixture f = fixture(2);
    f.mips = 0;
    QByteArray huge = f.build();
    patch16(huge, 16, 4096);
    patch16(huge, 18, 4096);
    patch16(huge, 24, 0xFFFF);
    huge[56] = char(13);
    patch16(huge, 63, 0xFFFF);
    QTest::newRow("65535 frames and slices") << huge << incomplete;
    // A format without bytes still cannot claim billions of images.
    patch32(huge, 52, 27);
    QTest::newRow("bytes-free format") << huge << incomplete;
    // No frames: no images, so the 65535 x 65535 level costs nothing.
    QByteArray empty = huge;
    patch16(empty, 16, 0xFFFF);
    patch16(empty, 18, 0xFFFF);
    patch32(empty, 52, 25);
    patch16(empty, 24, 0);
    QTest::newRow("no frames") << empty << QString();
    huge[56] = char(255);
    patch32(huge, 52, 0);
    patch16(huge, 24, 1);
    patch16(huge, 63, 1);
    QTest::newRow("255 levels") << huge << incomplete;

    f = fixture(3);
    f.sheet = "sheet";
    // Entries {0x10, 96} at 80 and {0x30, 105} at 88; the sheet's length at 96.
    const QByteArray sheet = f.build();
    QByteArray bad = sheet;
    patch32(bad, 96, 0xFFFFFFF0);
    QTest::newRow("sheet length") << bad << incomplete;
    bad = sheet;
    patch32(bad, 84, 0x7FFFFFFF);
    QTest::newRow("sheet offset") << bad << incomplete;
    bad = sheet;
    patch32(bad, 92, 0xFFFFFFFF);
    QTest::newRow("image offset") << bad << incomplete;
    bad = sheet;
    patch32(bad, 68, 0x20000000);
    QTest::newRow("resource count") << bad << incomplete;
    bad = sheet;
    bad[3] = 'X';
    QTest::newRow("magic") << bad << "File Error: Magic number mismatch";
}

void TestVTFFile::hostileHeaders()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);

    QString got;
    QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(bytes, got));
    QCOMPARE(!texture, !error.isEmpty());
    if (texture)
        QCOMPARE(texture->frameCount(), 0);
    else
        QCOMPARE(got, error);
}

void TestVTFFile::nonPowerOfTwo()
{
    // Every level is the one above halved, rounded down, as the file has it.
    VTFFixture f = fixture(2);
    f.width = 100;
    f.height = 12;
    f.mips = 7;
    const QByteArray bytes = f.build();
    QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(bytes));
    QVERIFY(texture);
    QStringList sizes;
    for (int level = 0; level < texture->mipmapCount(); ++level)
        sizes << QStringLiteral("%1x%2")
                     .arg(texture->mipmapWidth(level))
                     .arg(texture->mipmapHeight(level));
    QCOMPARE(sizes.join(' '), QStringLiteral("1x1 3x1 6x1 12x1 25x3 50x6 100x12"));
    QCOMPARE(written(*texture), bytes);
}

void TestVTFFile::devicesAndStreams()
{
    // Offsets count from where the texture starts in the device.
    const QByteArray file = fixture(4).build();
    QBuffer buffer;
    buffer.setData(QByteArray("prefix") + file);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    buffer.seek(6);
    QScopedPointer<CFileVTF> texture(CFileVTF::fromDevice(&buffer));
    QVERIFY(texture);
    QCOMPARE(written(*texture), file);

    // Reading replaces what the document held, resources included.
    texture->addResource(0x10)->payload = "stale";
    QDataStream again(file);
    QVERIFY(texture->read(again));
    QVERIFY(!texture->findResource(0x10));

    QDataStream none(static_cast<QIODevice *>(nullptr));
    QVERIFY(!texture->write(none));
    QCOMPARE(texture->error(), QStringLiteral("Stream Error: No device"));
    QBuffer closed;
    QDataStream notOpen(&closed);
    QVERIFY(!texture->write(notOpen));
    QCOMPARE(texture->error(), QStringLiteral("Device Error: Not open"));
    QVERIFY(closed.open(QIODevice::ReadOnly));
    QVERIFY(!texture->write(notOpen));
    QCOMPARE(texture->error(), QStringLiteral("Device Error: Not writable"));
}

void TestVTFFile::damagedFiles()
{
    VTFFixture f = fixture(4);
    f.thumbnail = f.lod = true;
    f.frames = 2;
    f.sheet = "sheet";
    f.keyValues = "kv";
    const QByteArray valid = f.build();
    // A texture file has no optional tail: every shorter prefix is incomplete.
    for (int n = 0; n < valid.size(); ++n) {
        QString error;
        QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(valid.left(n), error));
        QVERIFY2(!texture && error == QLatin1String("Read Error: Incomplete"),
                 qPrintable(QStringLiteral("%1 bytes: %2").arg(n).arg(error)));
    }
    Fuzz::byteFlips(valid, 400, 22, [](const QByteArray &bytes) {
        QScopedPointer<CFileVTF> texture(CFileVTF::fromByteArray(bytes));
        if (!texture)
            return;
        // What was read writes and reads again.
        const QByteArray once = written(*texture);
        QScopedPointer<CFileVTF> back(CFileVTF::fromByteArray(once));
        QVERIFY(back);
        QCOMPARE(written(*back), once);
    });
}

QTEST_GUILESS_MAIN(TestVTFFile)
#include "tst_vtffile.moc"
