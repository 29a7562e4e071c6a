#include "VVTFEditRules.h"
#include "VVTFFixture.h"
#include "VVTFImageRangeWidget.h"
#include "VVTFNewImageWidget.h"
#include "VVTFResizeParametersBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

// The texture editor's decisions on documents alone (what a texture allows,
// tree selections, which images a tree node stands for, where imported images
// go) and its parameter widgets.
class TestVVTFRules : public QObject
{
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
    void normalize_data();
    void normalize();
    void treeItems_data();
    void treeItems();
    void importLayout_data();
    void importLayout();
    void parameterWidgets();
    void imageCount_data();
    void imageCount();
    void rangeEdits_data();
    void rangeEdits();
    void rangeConstruction();
};

namespace {
// The tree as the editor lays it out: levels with one member left out.
void fillTree(QTreeWidget &tree, const VVTFRules::Counts &c)
{
    const auto add = [](QTreeWidgetItem *parent, int count, const char *label) {
        QList<QTreeWidgetItem *> items{parent};
        for (int i = 0; count > 1 && i < count; ++i)
            items << new QTreeWidgetItem(parent, QStringList(QString::fromLatin1(label).arg(i)));
        return count > 1 ? items.mid(1) : items;
    };
    tree.addTopLevelItem(new QTreeWidgetItem(QStringList(QStringLiteral("Thumbnail"))));
    for (int mip = 0; mip < c.mipmaps; ++mip) {
        auto *mipItem = new QTreeWidgetItem(QStringList(QStringLiteral("%1 x %1").arg(1 << mip)));
        tree.addTopLevelItem(mipItem);
        for (QTreeWidgetItem *frame : add(mipItem, c.frames, "Frame %1"))
            for (QTreeWidgetItem *face : add(frame, c.faces, "Right %1"))
                add(face, c.slices, "Slice %1");
    }
}
} // namespace

void TestVVTFRules::commands_data()
{
    // The texture, then: mipmaps, spheremaps, face menu, slice count,
    // animation and the ticked face count.
    QTest::addColumn<QString>("row");
    QTest::newRow("one pixel") << "1x1|00110 1";
    QTest::newRow("not square") << "64x16 frames:2|10011 1";
    QTest::newRow("six faces") << "16x16 faces:6|11100 6";
    QTest::newRow("seven faces") << "16x16 faces:7|11100 7";
    QTest::newRow("slices") << "16x16 slices:2|10010 1";
}

void TestVVTFRules::commands()
{
    QFETCH(QString, row);
    QScopedPointer<CFileVTF> document(texture(row.section('|', 0, 0)));
    const VVTFRules::Commands c = VVTFRules::commands(*document);
    QCOMPARE(bits({c.generateMipmaps, c.generateSpheremaps, c.faceCountMenu, c.sliceCount,
                   c.animation}) +
                 ' ' + QString::number(c.faceCountTick),
             row.section('|', 1));
}

void TestVVTFRules::normalize_data()
{
    // The texture, the selection, the selection afterwards and whether it
    // names one image.
    QTest::addColumn<QString>("row");
    QTest::newRow("one image") << "1x1|255 -1 -1 -1|0 0 0 0 1";
    QTest::newRow("mipmap of four frames") << "16x16 frames:4|3 -1 -1 -1|3 -1 0 0 0";
    QTest::newRow("face of two slices") << "16x16 slices:2|1 0 -1 -1|1 0 0 -1 0";
}

void TestVVTFRules::normalize()
{
    QFETCH(QString, row);
    QScopedPointer<CFileVTF> document(texture(row.section('|', 0, 0)));
    const QList<int> in = numbers(row.section('|', 1, 1));
    VVTFRules::TreeSelection s;
    s.mipmap = quint8(in[0]);
    s.frame = in[1];
    s.face = qint16(in[2]);
    s.slice = in[3];
    VVTFRules::normalize(s, VVTFRules::counts(document.data()));
    QCOMPARE(QList<int>({s.mipmap, s.frame, s.face, s.slice, s.namesOneImage()}),
             numbers(row.section('|', 2)));
}

void TestVVTFRules::treeItems_data()
{
    // Frames, faces and slices of a two-level tree, the item's path of child
    // indices from the top, then the selection it names and the image a
    // click on it shows.
    QTest::addColumn<QString>("row");
    QTest::newRow("thumbnail") << "2 6 2|0|255 -1 -1 -1|1 0 0 0";
    QTest::newRow("mipmap") << "2 6 2|1|0 -1 -1 -1|0 0 0 0";
    QTest::newRow("frame") << "2 6 2|2 1|1 1 -1 -1|1 1 0 0";
    QTest::newRow("face") << "2 6 2|2 1 4|1 1 4 -1|1 1 4 0";
    QTest::newRow("slice") << "2 6 2|2 1 5 1|1 1 5 1|1 1 5 1";
    QTest::newRow("slice without frames or faces") << "1 1 4|1 3|0 -1 -1 3|0 0 0 3";
    QTest::newRow("slice without faces") << "3 1 2|2 2 1|1 2 -1 1|1 2 0 1";
    QTest::newRow("face without frames") << "1 7 1|1 6|0 -1 6 -1|0 0 6 0";
}

void TestVVTFRules::treeItems()
{
    QFETCH(QString, row);
    const QStringList part = row.split(QLatin1Char('|'));
    const QList<int> n = numbers(part[0]);
    VVTFRules::Counts counts;
    counts.mipmaps = 2, counts.frames = n[0], counts.faces = n[1], counts.slices = n[2];
    QTreeWidget tree;
    fillTree(tree, counts);
    const QList<int> path = numbers(part[1]);
    QTreeWidgetItem *item = tree.topLevelItem(path.first());
    for (int i = 1; i < path.size(); ++i)
        item = item->child(path[i]);

    const VVTFRules::TreeSelection s = VVTFEditRules::resolveTreeItem(item, counts);
    QCOMPARE(QList<int>({s.mipmap, s.frame, s.face, s.slice}), numbers(part[2]));
    const VVTFEditRules::Position p = VVTFEditRules::concretePosition(s, counts);
    QCOMPARE(QList<int>({p.mipmap, p.frame, p.face, p.slice}), numbers(part[3]));
}

void TestVVTFRules::importLayout_data()
{
    // The texture, layout and image count, then the images placed and the
    // frames, faces and slices afterwards.
    QTest::addColumn<QString>("row");
    QTest::newRow("six faces") << "64x64|1 6|6 1 6 1";
    QTest::newRow("six frames") << "64x64|0 6|6 6 1 1";
    QTest::newRow("eight slices") << "64x64|2 8|8 1 1 8";
    // 262 is 6 in 8 bits: refused, never taken as an environment map.
    QTest::newRow("262 faces") << "64x64|1 262|1 1 1 1";
    QTest::newRow("65542 frames") << "4x4|0 65542|1 1 1 1";
    QTest::newRow("faces of a wide image") << "64x32|1 6|1 1 1 1";
    QTest::newRow("six slices") << "64x64|2 6|1 1 1 1";
}

void TestVVTFRules::importLayout()
{
    QFETCH(QString, row);
    QScopedPointer<CFileVTF> document(texture(row.section('|', 0, 0)));
    const QList<int> in = numbers(row.section('|', 1, 1));
    const int placed =
        VVTFRules::applyImportLayout(*document, VVTFRules::ImportLayout(in[0]), in[1]);
    QCOMPARE(
        QList<int>({placed, document->frameCount(), document->faceCount(), document->sliceCount()}),
        numbers(row.section('|', 2)));
}

void TestVVTFRules::parameterWidgets()
{
    VVTFResizeParametersBox box;
    QCOMPARE(box.filterBox->currentText() + QString::number(box.filter()), "Mitchell12");
    // Nearest (a tie goes up), next, exact at item 5.
    QCOMPARE(box.resizedWidth(300), 256);
    QCOMPARE(box.resizedHeight(96), 128);
    box.widthModeBox->setCurrentIndex(3);
    QCOMPARE(box.widthClampLabel->text(), QStringLiteral("Exact Width:"));
    box.widthModeBox->setCurrentIndex(1);
    QCOMPARE(box.widthClampLabel->text(), QStringLiteral("Clamp Width:"));
    QCOMPARE(box.resizedWidth(300), 512);
    box.heightModeBox->setCurrentIndex(3);
    box.heightClampBox->setCurrentIndex(5);
    QCOMPARE(box.heightClampLabel->text() + QString::number(box.resizedHeight(300)),
             "Exact Height:32");

    // The new-texture widget refuses P8 back to DXT5, RGBA16161616F back to
    // the last choice.
    VVTFNewImageWidget widget;
    widget.formatBox->setCurrentIndex(IMAGE_FORMAT_P8);
    QCOMPARE(widget.formatBox->currentIndex(), int(IMAGE_FORMAT_DXT5));
    widget.formatBox->setCurrentIndex(IMAGE_FORMAT_BGR888);
    widget.formatBox->setCurrentIndex(IMAGE_FORMAT_RGBA16161616F);
    QCOMPARE(widget.format(), IMAGE_FORMAT_BGR888);
}

void TestVVTFRules::imageCount_data()
{
    // Images in the file: "Multiple Frames As", "Faces", "Slices", then
    // "Generate Spheremaps" enabled and checked.
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1") << 1 << "000 00";
    QTest::newRow("6") << 6 << "110 11";
    QTest::newRow("7") << 7 << "110 10";
    QTest::newRow("8") << 8 << "101 00";
}

void TestVVTFRules::imageCount()
{
    QFETCH(int, count);
    QFETCH(QString, expected);
    VVTFNewImageWidget w;
    w.setImageCount(quint16(count));
    QCOMPARE(bits({w.framesAsGroup->isEnabled(), w.facesButton->isEnabled(),
                   w.slicesButton->isEnabled()}) +
                 ' ' + bits({w.spheremapsCheck->isEnabled(), w.spheremapsCheck->isChecked()}),
             expected);
}

void TestVVTFRules::rangeEdits_data()
{
    // The field, the text typed and what the field then shows.
    QTest::addColumn<QString>("row");
    QTest::newRow("frame above the count") << "frameStartEdit 99 9";
    QTest::newRow("not a number") << "frameEndEdit abc 9";
    QTest::newRow("signed") << "frameStartEdit -1 0";
    QTest::newRow("above 16 bits") << "frameStartEdit 65536 0";
    QTest::newRow("slice without a limit") << "sliceEndEdit 99 99";
    QTest::newRow("face within the count") << "faceEndEdit 3 0";
}

void TestVVTFRules::rangeEdits()
{
    QFETCH(QString, row);
    const QStringList parts = row.split(QLatin1Char(' '));
    CFileVTF document(16, 16);
    QVERIFY(document.setFrameCount(10));
    VVTFImageRangeWidget widget(&document, 0, 4, 0, 9, 0, 0, 0, 0);
    const QString shown = type(widget, parts[0], parts[1]);
    const QMap<QString, int> stored{{"frameStartEdit", widget.frameStart},
                                    {"frameEndEdit", widget.frameEnd},
                                    {"faceEndEdit", widget.faceEnd},
                                    {"sliceEndEdit", widget.sliceEnd}};
    QCOMPARE(shown + ' ' + QString::number(stored.value(parts[0])), parts[2] + ' ' + parts[2]);
}

void TestVVTFRules::rangeConstruction()
{
    CFileVTF document(8, 8);
    QVERIFY(document.setFrameCount(3));
    // Starts above ends are swapped, and bounds kept within the texture.
    VVTFImageRangeWidget widget(&document, 3, 1, 200, 1, 0, 0, 0, 0);
    QCOMPARE(
        QList<int>({widget.mipmapStart(), widget.mipmapEnd(), widget.frameStart, widget.frameEnd}),
        QList<int>({1, 3, 1, 2}));
    QCOMPARE(widget.mipmapStartBox->itemText(3) + ' ' + widget.frameEndEdit->text(), "8 x 8 2");
    QCOMPARE(bits({widget.frameStartEdit->isEnabled(), widget.faceStartEdit->isEnabled(),
                   widget.sliceEndEdit->isEnabled()}),
             QStringLiteral("100"));
    widget.hideRangeEnd();
    QVERIFY(widget.mipmapEndBox->isHidden() && !widget.frameEndEdit->isEnabled());
}

QTEST_MAIN(TestVVTFRules)
#include "tst_vvtfrules.moc"
