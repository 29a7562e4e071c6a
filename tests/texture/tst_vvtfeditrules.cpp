#include "CFileVTF.h"
#include "VVTFEditRules.h"

#include <QTreeWidget>
#include <QtTest>

using namespace VVTFEditRules;

// The decisions behind the texture editor's commands, on counts and texts
// alone: tree nodes to images, tree-menu entries, starting ranges and the
// information panel's fields.
class TestVVTFEditRules : public QObject
{
    Q_OBJECT

private slots:
    void treeItems_data();
    void treeItems();
    void treeMenuAndRanges_data();
    void treeMenuAndRanges();
    void panelFields_data();
    void panelFields();
    void flagClicks_data();
    void flagClicks();
};

namespace {
// "mipmaps frames faces slices".
Counts countsOf(const QString &text)
{
    const QStringList n = text.split(QLatin1Char(' '));
    Counts c;
    c.mipmaps = n.at(0).toInt();
    c.frames = n.at(1).toInt();
    c.faces = n.at(2).toInt();
    c.slices = n.at(3).toInt();
    return c;
}

QString text(const TreeSelection &s)
{
    return QStringLiteral("%1 %2 %3 %4").arg(s.mipmap).arg(s.frame).arg(s.face).arg(s.slice);
}

TreeSelection selectionOf(const QString &text)
{
    const QStringList n = text.split(QLatin1Char(' '));
    TreeSelection s;
    s.mipmap = quint8(n.at(0).toInt());
    s.frame = n.at(1).toInt();
    s.face = qint16(n.at(2).toInt());
    s.slice = n.at(3).toInt();
    return s;
}

// The tree as the editor lays it out: levels with one member left out, faces
// named as on an environment map.
void fillTree(QTreeWidget &tree, const Counts &c)
{
    const auto add = [](QTreeWidgetItem *parent, int count, const char *label) {
        QList<QTreeWidgetItem *> items;
        if (count < 2)
            return QList<QTreeWidgetItem *>{parent};
        for (int i = 0; i < count; ++i)
            items << new QTreeWidgetItem(parent, QStringList(QString::fromLatin1(label).arg(i)));
        return items;
    };
    tree.addTopLevelItem(new QTreeWidgetItem(QStringList(QStringLiteral("Thumbnail"))));
    for (int mip = 0; mip < c.mipmaps; ++mip) {
        auto *mipItem = new QTreeWidgetItem(QStringList(QStringLiteral("%1 x %1").arg(1 << mip)));
        tree.addTopLevelItem(mipItem);
        for (QTreeWidgetItem *frame : add(mipItem, c.frames, "Frame %1"))
            for (QTreeWidgetItem *face : add(frame, c.faces, "Cube %1"))
                add(face, c.slices, "Slice %1");
    }
}
} // namespace

void TestVVTFEditRules::treeItems_data()
{
    // Frames, faces and slices of a two-level texture, the item's path of
    // child indices from the top, then the selection it names and the image
    // a click on it shows.
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

void TestVVTFEditRules::treeItems()
{
    QFETCH(QString, row);
    const QStringList part = row.split(QLatin1Char('|'));
    const Counts counts = countsOf(QStringLiteral("2 ") + part[0]);
    QTreeWidget tree;
    fillTree(tree, counts);
    const QStringList path = part[1].split(QLatin1Char(' '));
    QTreeWidgetItem *item = tree.topLevelItem(path.first().toInt());
    for (int i = 1; i < path.size(); ++i)
        item = item->child(path[i].toInt());

    const TreeSelection selection = resolveTreeItem(item, counts);
    QCOMPARE(text(selection), part[2]);
    const Position p = concretePosition(selection, counts);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(p.mipmap).arg(p.frame).arg(p.face).arg(p.slice),
             part[3]);
    QCOMPARE(text(resolveTreeItem(nullptr, counts)), QStringLiteral("255 -1 -1 -1"));
}

void TestVVTFEditRules::treeMenuAndRanges_data()
{
    // Counts, the node (its selection; "thumbnail"; "leaf" without
    // children), the clipboard, then the enabled entries (copy, paste, from
    // file, from image, gamma, reflectivity, mipmaps, spheremaps), the range
    // the dialogs start from and the one mipmap generation starts from.
    QTest::addColumn<QString>("row");
    QTest::newRow("thumbnail") << "3 2 1 1|255 -1 -1 -1 thumbnail|1|00010000|"
                                  "0 2 0 1 0 0 0 0|0 1 0 1 0 0 0 0";
    QTest::newRow("mipmap of two frames")
        << "3 2 1 1|1 -1 -1 -1|0|10001110|1 1 0 1 0 0 0 0|1 1 0 1 0 0 0 0";
    QTest::newRow("the only image") << "1 1 1 1|0 0 0 0 leaf|1|11101100|"
                                       "0 0 0 0 0 0 0 0|0 0 0 0 0 0 0 0";
    QTest::newRow("face of an envmap") << "2 1 6 1|1 0 3 0 leaf|0|10111111|"
                                          "1 1 0 0 3 3 0 0|1 1 0 0 3 3 0 0";
}

void TestVVTFEditRules::treeMenuAndRanges()
{
    QFETCH(QString, row);
    const QStringList part = row.split(QLatin1Char('|'));
    const Counts counts = countsOf(part[0]);
    const TreeSelection selection = selectionOf(part[1].section(QLatin1Char(' '), 0, 3));
    const TreeMenu m = treeMenu(part[1].endsWith(QLatin1String("thumbnail")),
                                part[1].endsWith(QLatin1String("leaf")), counts, part[2] == "1");
    QString enabled;
    for (bool on : {m.copy, m.paste, m.fromFile, m.fromImage, m.correctGamma, m.computeReflectivity,
                    m.generateMipmaps, m.generateSpheremaps})
        enabled += on ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(enabled, part[3]);
    for (int mipmaps = 0; mipmaps < 2; ++mipmaps) {
        const ImageRange r = rangeFromSelection(selection, counts, mipmaps);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                     .arg(r.mipStart)
                     .arg(r.mipEnd)
                     .arg(r.frameStart)
                     .arg(r.frameEnd)
                     .arg(r.faceStart)
                     .arg(r.faceEnd)
                     .arg(r.sliceStart)
                     .arg(r.sliceEnd),
                 part[4 + mipmaps]);
    }
}

void TestVVTFEditRules::panelFields_data()
{
    // The field, the text typed, and what is stored ("-" for nothing).
    QTest::addColumn<QString>("row");
    QTest::newRow("bumpmap above 1") << "unit|2.5|1";
    QTest::newRow("bumpmap below 0") << "unit|-3|0";
    QTest::newRow("bumpmap inside") << "unit|0.25|0.25";
    QTest::newRow("not a number") << "unit|nan|-";
    QTest::newRow("words") << "unit|half|-";
    QTest::newRow("clamp above a byte") << "clamp|300|255";
    QTest::newRow("clamp negative") << "clamp|-1|-";
    QTest::newRow("settings bare hex") << "word|ff|0xFF";
    QTest::newRow("settings 0x") << "word|0xff|0xFF";
    QTest::newRow("settings junk") << "word|0xfg|-";
    // First frame on textures of "mipmaps frames faces slices", from 0.
    QTest::newRow("first frame limited") << "first 1 4 1 1|9|3";
    QTest::newRow("first frame of a cube map") << "first 1 1 6 1|9|0";
    QTest::newRow("first frame without images") << "first 0 0 0 0|9|9";
    QTest::newRow("first frame negative") << "first 1 4 1 1|-1|-";
}

void TestVVTFEditRules::panelFields()
{
    QFETCH(QString, row);
    const QString field = row.section('|', 0, 0);
    const QString typed = row.section('|', 1, 1);
    QString stored = QStringLiteral("-");
    if (field == QLatin1String("unit")) {
        if (const auto v = unitValue(typed))
            stored = QString::number(*v);
    } else if (field == QLatin1String("clamp")) {
        if (const auto v = clampValue(typed))
            stored = QString::number(*v);
    } else if (field == QLatin1String("word")) {
        if (const auto v = settingsWord(typed))
            stored = hexText(*v);
    } else {
        quint16 frame = 0;
        if (applyFirstFrame(typed, countsOf(field.mid(6)), frame))
            stored = QString::number(frame);
    }
    QCOMPARE(stored, row.section('|', 2));
}

void TestVVTFEditRules::flagClicks_data()
{
    // The bit clicked, the texture's flags, whether the click toggles it.
    QTest::addColumn<QString>("row");
    QTest::newRow("one bit alpha") << "1000 0|0";
    QTest::newRow("eight bit alpha") << "2000 2000|0";
    QTest::newRow("environment map") << "4000 0|0";
    QTest::newRow("normal map of an envmap") << "80 4000|0";
    QTest::newRow("normal map") << "80 0|1";
    QTest::newRow("point sampling") << "1 4000|1";
}

void TestVVTFEditRules::flagClicks()
{
    QFETCH(QString, row);
    const quint32 bit = row.section(' ', 0, 0).toUInt(nullptr, 16);
    const quint32 flags = row.section(' ', 1).section('|', 0, 0).toUInt(nullptr, 16);
    QCOMPARE(flagToggles(bit, flags), row.endsWith(QLatin1String("|1")));
}

QTEST_MAIN(TestVVTFEditRules)
#include "tst_vvtfeditrules.moc"
