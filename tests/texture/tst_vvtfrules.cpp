#include "CFileVTF.h"
#include "VVTFRules.h"

#include <QtTest>

// The texture editor's decisions on documents alone: counters and enabled
// states, what a texture allows, tree selections, the power-of-two side rule
// and where imported images go.
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
    void resizedSide_data();
    void resizedSide();
    void importLayout_data();
    void importLayout();
};

namespace {
// "WxH" then "frames:n", "faces:n" and "slices:n" steps.
CFileVTF *texture(const QString &setup)
{
    QStringList steps = setup.split(QLatin1Char(' '));
    const QStringList size = steps.takeFirst().split(QLatin1Char('x'));
    auto *document = new CFileVTF(quint16(size.at(0).toInt()), quint16(size.at(1).toInt()));
    for (const QString &step : steps) {
        const QString name = step.section(QLatin1Char(':'), 0, 0);
        const int value = step.section(QLatin1Char(':'), 1, 1).toInt();
        const bool ok = name == QLatin1String("frames")   ? document->setFrameCount(value)
                        : name == QLatin1String("faces")  ? document->setFaceCount(value)
                        : name == QLatin1String("slices") ? document->setSliceCount(value)
                                                          : false;
        if (!ok)
            qFatal("fixture step %s refused", qPrintable(step));
    }
    return document;
}

QString describe(const VVTFRules::Stepper &s)
{
    return QStringLiteral("%1%2%3").arg(s.left ? "<" : "-", s.counter, s.right ? ">" : "-");
}
} // namespace

void TestVVTFRules::navigation_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QList<int>>("current");
    QTest::addColumn<QString>("expected"); // mipmap frame face slice, then hdr and animation

    QTest::newRow("one image") << "1x1" << QList<int>{0, 0, 0, 0} << "-0/0- -0/0- -0/0- -0/0- 00";
    QTest::newRow("second-largest mipmap")
        << "8x8" << QList<int>{2, 0, 0, 0} << "<2/3> -0/0- -0/0- -0/0- 00";
    QTest::newRow("largest mipmap")
        << "8x8" << QList<int>{3, 0, 0, 0} << "<3/3- -0/0- -0/0- -0/0- 00";
    QTest::newRow("frames") << "4x4 frames:3" << QList<int>{2, 1, 0, 0}
                            << "<2/2- <1/2> -0/0- -0/0- 01";
    QTest::newRow("envmap faces") << "4x4 faces:7" << QList<int>{0, 0, 6, 0}
                                  << "-0/2> -0/0- <6/6- -0/0- 00";
    QTest::newRow("slices") << "4x4 slices:4" << QList<int>{0, 0, 0, 0}
                            << "-0/2> -0/0- -0/0- -0/3> 00";
}

void TestVVTFRules::navigation()
{
    QFETCH(QString, setup);
    QFETCH(QList<int>, current);
    QFETCH(QString, expected);

    QScopedPointer<CFileVTF> document(texture(setup));
    const VVTFRules::Navigation n =
        VVTFRules::navigation(document.data(), current[0], current[1], current[2], current[3]);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5%6")
                 .arg(describe(n.mipmap), describe(n.frame), describe(n.face), describe(n.slice))
                 .arg(int(n.hdr))
                 .arg(int(n.animation)),
             expected);
    // Without a document nothing can be stepped.
    const VVTFRules::Navigation none = VVTFRules::navigation(nullptr, 0, 0, 0, 0);
    QCOMPARE(describe(none.mipmap) + describe(none.slice), QStringLiteral("-0/0--0/0-"));
}

void TestVVTFRules::commands_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected");

    // Mipmaps, spheremaps, ticked face count, face menu, slice count,
    // animation.
    QTest::newRow("one pixel") << "1x1"
                               << "00 1 1 1 0";
    QTest::newRow("square") << "64x64"
                            << "10 1 1 1 0";
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
                 .arg(int(c.generateMipmaps))
                 .arg(int(c.generateSpheremaps))
                 .arg(c.faceCountTick)
                 .arg(int(c.faceCountMenu))
                 .arg(int(c.sliceCount))
                 .arg(int(c.animation)),
             expected);
    // Resources exist from version 7.3 on.
    QVERIFY(c.resources);
    document->setMinorVersion(2);
    QVERIFY(!VVTFRules::commands(*document).resources);
}

void TestVVTFRules::normalize_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<bool>("oneImage");

    QTest::newRow("one image: all levels chosen")
        << "1x1" << QList<int>{255, -1, -1, -1} << QList<int>{0, 0, 0, 0} << true;
    QTest::newRow("mipmap item of a one-frame texture")
        << "16x16" << QList<int>{3, -1, -1, -1} << QList<int>{3, 0, 0, 0} << true;
    QTest::newRow("mipmap item of a four-frame texture")
        << "16x16 frames:4" << QList<int>{3, -1, -1, -1} << QList<int>{3, -1, 0, 0} << false;
    QTest::newRow("thumbnail of a chain")
        << "16x16" << QList<int>{255, -1, -1, -1} << QList<int>{255, 0, 0, 0} << false;
    QTest::newRow("face item keeps its slices")
        << "16x16 slices:2" << QList<int>{1, 0, -1, -1} << QList<int>{1, 0, 0, -1} << false;
}

void TestVVTFRules::normalize()
{
    QFETCH(QString, setup);
    QFETCH(QList<int>, selection);
    QFETCH(QList<int>, expected);
    QFETCH(bool, oneImage);

    QScopedPointer<CFileVTF> document(texture(setup));
    VVTFRules::TreeSelection s;
    s.mipmap = quint8(selection[0]);
    s.frame = selection[1];
    s.face = qint16(selection[2]);
    s.slice = selection[3];
    VVTFRules::normalize(s, VVTFRules::counts(document.data()));
    QCOMPARE((QList<int>{s.mipmap, s.frame, s.face, s.slice}), expected);
    QCOMPARE(s.namesOneImage(), oneImage);
}

void TestVVTFRules::resizedSide_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("clampItem");
    QTest::addColumn<int>("side");

    QTest::newRow("300 nearest") << 300 << 0 << 12 << 256;
    QTest::newRow("300 next") << 300 << 1 << 12 << 512;
    QTest::newRow("300 previous") << 300 << 2 << 12 << 256;
    QTest::newRow("300 exact item 5") << 300 << 3 << 5 << 32;
    QTest::newRow("96 nearest: a tie goes up") << 96 << 0 << 12 << 128;
    QTest::newRow("clamped") << 5000 << 1 << 6 << 64;
    QTest::newRow("0 becomes 1") << 0 << 2 << 12 << 1;
}

void TestVVTFRules::resizedSide()
{
    QFETCH(int, source);
    QFETCH(int, mode);
    QFETCH(int, clampItem);
    QFETCH(int, side);
    QCOMPARE(VVTFRules::resizedSide(source, mode, clampItem), side);
}

void TestVVTFRules::importLayout_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("images");
    QTest::addColumn<int>("placed");
    QTest::addColumn<QString>("counts"); // frames/faces/slices afterwards

    const int frames = int(VVTFRules::ImportLayout::Frames);
    const int faces = int(VVTFRules::ImportLayout::Faces);
    const int slices = int(VVTFRules::ImportLayout::Slices);
    QTest::newRow("six faces") << "64x64" << faces << 6 << 6 << "1/6/1";
    QTest::newRow("six frames") << "64x64" << frames << 6 << 6 << "6/1/1";
    QTest::newRow("eight slices") << "64x64" << slices << 8 << 8 << "1/1/8";
    QTest::newRow("one image") << "64x64" << faces << 1 << 1 << "1/1/1";
    // 262 is 6 in 8 bits: refused, never taken as an environment map.
    QTest::newRow("262 as faces") << "64x64" << faces << 262 << 1 << "1/1/1";
    QTest::newRow("65542 as frames") << "4x4" << frames << 65542 << 1 << "1/1/1";
    QTest::newRow("faces of a wide image") << "64x32" << faces << 6 << 1 << "1/1/1";
    QTest::newRow("six slices") << "64x64" << slices << 6 << 1 << "1/1/1";
}

void TestVVTFRules::importLayout()
{
    QFETCH(QString, setup);
    QFETCH(int, layout);
    QFETCH(int, images);
    QFETCH(int, placed);
    QFETCH(QString, counts);

    QScopedPointer<CFileVTF> document(texture(setup));
    QCOMPARE(VVTFRules::applyImportLayout(*document, VVTFRules::ImportLayout(layout), images),
             placed);
    QCOMPARE(QStringLiteral("%1/%2/%3")
                 .arg(document->frameCount())
                 .arg(document->faceCount())
                 .arg(document->sliceCount()),
             counts);
}

QTEST_GUILESS_MAIN(TestVVTFRules)
#include "tst_vvtfrules.moc"
