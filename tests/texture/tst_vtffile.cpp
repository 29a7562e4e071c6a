#include "CFileVTF.h"
#include "Fuzz.h"
#include "VTFFixture.h"

#include <QBuffer>
#include <QtTest>

#include <tuple>

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

} // namespace

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
    QCOMPARE(texture.headerSize(), 88u);
    CFileVTF one(1, 1);
    QCOMPARE(written(one).size(), 92);
    // Headers of 64 bytes (7.0, 7.1), 80 (7.2) and 80 plus the directory.
    QList<int> sizes;
    for (quint32 minor = 0; minor <= 5; ++minor) {
        texture.setMinorVersion(minor);
        sizes << written(texture).size();
    }
    QCOMPARE(sizes, QList<int>({148, 148, 164, 172, 172, 172}));
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
    // A format without bytes still cannot claim billions of images.
    patch<qint32>(huge, 52, 27);
    QTest::newRow("bytes-free format") << huge << incomplete;
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
    QCOMPARE(texture ? QStringLiteral("frames %1, faces %2")
                           .arg(texture->frameCount())
                           .arg(texture->faceCount())
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

QTEST_GUILESS_MAIN(TestVTFFile)
#include "tst_vtffile.moc"
