#include "VVTFEditRules.h"
#include "VVTFFixture.h"

#include <QTreeWidget>
#include <QtTest>

using namespace VVTFEditRules;

// Which images a node of the texture editor's image tree stands for, on
// trees of every shape the editor lays out (the window's commands are
// driven in the commands test).
class TestVVTFEditRules : public QObject
{
    Q_OBJECT

private slots:
    void treeItems_data();
    void treeItems();
};

namespace {
// "mipmaps frames faces slices".
Counts countsOf(const QString &text)
{
    const QList<int> n = numbers(text);
    Counts c;
    c.mipmaps = n[0], c.frames = n[1], c.faces = n[2], c.slices = n[3];
    return c;
}

QString joined(std::initializer_list<int> values)
{
    QStringList out;
    for (int v : values)
        out << QString::number(v);
    return out.join(QLatin1Char(' '));
}

// The tree as the editor lays it out: levels with one member left out.
void fillTree(QTreeWidget &tree, const Counts &c)
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
    const QList<int> path = numbers(part[1]);
    QTreeWidgetItem *item = tree.topLevelItem(path.first());
    for (int i = 1; i < path.size(); ++i)
        item = item->child(path[i]);

    const TreeSelection s = resolveTreeItem(item, counts);
    QCOMPARE(joined({s.mipmap, s.frame, s.face, s.slice}), part[2]);
    const Position p = concretePosition(s, counts);
    QCOMPARE(joined({p.mipmap, p.frame, p.face, p.slice}), part[3]);
}

QTEST_MAIN(TestVVTFEditRules)
#include "tst_vvtfeditrules.moc"
