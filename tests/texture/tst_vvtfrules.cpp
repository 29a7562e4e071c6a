#include "VVTFFixture.h"

#include <QtTest>

// The texture editor's decisions on documents alone: counters and enabled
// states, what a texture allows, tree selections and where imported images go.
class TestVVTFRules : public QObject
{
    Q_OBJECT

private slots:
    void navigation_data();
    void navigation();
    void commands_data();
    void commands();
    void normalize_data();
    void normalize();
    void importLayout_data();
    void importLayout();
};

namespace {
QString describe(const VVTFRules::Stepper &s)
{
    return QStringLiteral("%1%2%3").arg(s.left ? "<" : "-", s.counter, s.right ? ">" : "-");
}
} // namespace

void TestVVTFRules::navigation_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("current");
    // Mipmap, frame, face and slice steppers, then the animation button.
    QTest::addColumn<QString>("expected");

    QTest::newRow("one image") << "1x1"
                               << "0 0 0 0"
                               << "-0/0- -0/0- -0/0- -0/0- 0";
    QTest::newRow("second-largest") << "8x8"
                                    << "2 0 0 0"
                                    << "<2/3> -0/0- -0/0- -0/0- 0";
    QTest::newRow("frames") << "4x4 frames:3"
                            << "2 1 0 0"
                            << "<2/2- <1/2> -0/0- -0/0- 1";
    QTest::newRow("faces") << "4x4 faces:7"
                           << "0 0 6 0"
                           << "-0/2> -0/0- <6/6- -0/0- 0";
    QTest::newRow("slices") << "4x4 slices:4"
                            << "0 0 0 0"
                            << "-0/2> -0/0- -0/0- -0/3> 0";
}

void TestVVTFRules::navigation()
{
    QFETCH(QString, setup);
    QFETCH(QString, current);
    QFETCH(QString, expected);

    QScopedPointer<CFileVTF> document(texture(setup));
    const QList<int> c = numbers(current);
    const VVTFRules::Navigation n = VVTFRules::navigation(document.data(), c[0], c[1], c[2], c[3]);
    QCOMPARE(QStringList({describe(n.mipmap), describe(n.frame), describe(n.face),
                          describe(n.slice), QString::number(n.animation)})
                 .join(' '),
             expected);
    QVERIFY(!n.hdr);
    // Without a document nothing can be stepped.
    QCOMPARE(describe(VVTFRules::navigation(nullptr, 0, 0, 0, 0).slice), QStringLiteral("-0/0-"));
}

void TestVVTFRules::commands_data()
{
    QTest::addColumn<QString>("setup");
    // Mipmaps and spheremaps, ticked face count, face menu, slice count,
    // animation.
    QTest::addColumn<QString>("expected");

    QTest::newRow("one pixel") << "1x1"
                               << "00 1 1 1 0";
    QTest::newRow("not square") << "64x16 frames:2"
                                << "10 1 0 1 1";
    QTest::newRow("six faces") << "16x16 faces:6"
                               << "11 6 1 0 0";
    QTest::newRow("seven faces") << "16x16 faces:7"
                                 << "11 7 1 0 0";
    QTest::newRow("slices") << "16x16 slices:2"
                            << "10 1 0 1 0";
}

void TestVVTFRules::commands()
{
    QFETCH(QString, setup);
    QFETCH(QString, expected);

    QScopedPointer<CFileVTF> document(texture(setup));
    const VVTFRules::Commands c = VVTFRules::commands(*document);
    QCOMPARE(QStringLiteral("%1%2 %3 %4 %5 %6")
                 .arg(c.generateMipmaps)
                 .arg(c.generateSpheremaps)
                 .arg(c.faceCountTick)
                 .arg(c.faceCountMenu)
                 .arg(c.sliceCount)
                 .arg(c.animation),
             expected);
    // Resources exist from version 7.3 on.
    QVERIFY(c.resources);
    document->setMinorVersion(2);
    QVERIFY(!VVTFRules::commands(*document).resources);
}

void TestVVTFRules::normalize_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("selection");
    // The selection afterwards, then whether it names one image.
    QTest::addColumn<QString>("expected");

    QTest::newRow("one image") << "1x1"
                               << "255 -1 -1 -1"
                               << "0 0 0 0 1";
    QTest::newRow("mipmap of one frame") << "16x16"
                                         << "3 -1 -1 -1"
                                         << "3 0 0 0 1";
    QTest::newRow("mipmap of four frames") << "16x16 frames:4"
                                           << "3 -1 -1 -1"
                                           << "3 -1 0 0 0";
    QTest::newRow("thumbnail of a chain") << "16x16"
                                          << "255 -1 -1 -1"
                                          << "255 0 0 0 0";
    QTest::newRow("face of two slices") << "16x16 slices:2"
                                        << "1 0 -1 -1"
                                        << "1 0 0 -1 0";
}

void TestVVTFRules::normalize()
{
    QFETCH(QString, setup);
    QFETCH(QString, selection);
    QFETCH(QString, expected);

    QScopedPointer<CFileVTF> document(texture(setup));
    const QList<int> in = numbers(selection);
    VVTFRules::TreeSelection s;
    s.mipmap = quint8(in[0]);
    s.frame = in[1];
    s.face = qint16(in[2]);
    s.slice = in[3];
    VVTFRules::normalize(s, VVTFRules::counts(document.data()));
    QCOMPARE(numbers(expected),
             QList<int>({s.mipmap, s.frame, s.face, s.slice, s.namesOneImage()}));
}

void TestVVTFRules::importLayout_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("images");
    // Images placed, then frames, faces and slices afterwards.
    QTest::addColumn<QString>("expected");

    const int frames = int(VVTFRules::ImportLayout::Frames);
    const int faces = int(VVTFRules::ImportLayout::Faces);
    const int slices = int(VVTFRules::ImportLayout::Slices);
    QTest::newRow("six faces") << "64x64" << faces << 6 << "6 1 6 1";
    QTest::newRow("six frames") << "64x64" << frames << 6 << "6 6 1 1";
    QTest::newRow("eight slices") << "64x64" << slices << 8 << "8 1 1 8";
    // 262 is 6 in 8 bits: refused, never taken as an environment map.
    QTest::newRow("262 faces") << "64x64" << faces << 262 << "1 1 1 1";
    QTest::newRow("65542 frames") << "4x4" << frames << 65542 << "1 1 1 1";
    QTest::newRow("faces of a wide image") << "64x32" << faces << 6 << "1 1 1 1";
    QTest::newRow("six slices") << "64x64" << slices << 6 << "1 1 1 1";
}

void TestVVTFRules::importLayout()
{
    QFETCH(QString, setup);
    QFETCH(int, layout);
    QFETCH(int, images);
    QFETCH(QString, expected);

    QScopedPointer<CFileVTF> document(texture(setup));
    const int placed =
        VVTFRules::applyImportLayout(*document, VVTFRules::ImportLayout(layout), images);
    QCOMPARE(
        QList<int>({placed, document->frameCount(), document->faceCount(), document->sliceCount()}),
        numbers(expected));
}

QTEST_MAIN(TestVVTFRules)
#include "tst_vvtfrules.moc"
