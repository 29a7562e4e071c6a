#include "CPackageHierarchyNode.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace {

CPackageHierarchyNode *folder(const QString &name)
{
    auto *n = new CPackageHierarchyNode();
    n->setName(name);
    n->makeFolder();
    return n;
}

CPackageHierarchyNode *file(const QString &name)
{
    auto *n = new CPackageHierarchyNode();
    n->setName(name);
    return n;
}

// Counts computed by walking, to compare with the kept ones.
QPair<int, int> walkCounts(const CHierarchyNode *node)
{
    QPair<int, int> c(0, 0);
    for (int i = 0; i < node->childCount(); ++i) {
        const CHierarchyNode *child = node->child(unsigned(i));
        const QPair<int, int> sub = walkCounts(child);
        c.first += sub.first + (child->isFolder() ? 1 : 0);
        c.second += sub.second + (child->isFolder() ? 0 : 1);
    }
    return c;
}

bool countsExact(const CHierarchyNode *node)
{
    if (walkCounts(node) != node->counts())
        return false;
    for (int i = 0; i < node->childCount(); ++i) {
        if (!countsExact(node->child(unsigned(i))))
            return false;
    }
    return true;
}

} // namespace

class TestPackageTree : public QObject
{
    Q_OBJECT

    void folderSizes()
    {
        QTest::addColumn<int>("others");
        QTest::newRow("small folder") << 0;
        QTest::newRow("indexed folder") << 40;
    }

    // A folder "root" holding `others` files besides what a test adds.
    static CPackageHierarchyNode *filledFolder()
    {
        QFETCH(int, others);
        CPackageHierarchyNode *root = folder("root");
        for (int i = 0; i < others; ++i)
            root->addChild(file(QStringLiteral("other%1.bin").arg(i)));
        return root;
    }

private slots:
    void insertMovesCountsAlongTheChain()
    {
        std::unique_ptr<CPackageHierarchyNode> root(folder("root"));
        CPackageHierarchyNode *top = folder("top");
        root->addChild(top);
        CPackageHierarchyNode *sub = folder("sub");
        for (const char *n : {"a", "b", "c"})
            sub->addChild(file(n));
        CPackageHierarchyNode *inner = folder("inner");
        inner->addChild(file("d"));
        inner->addChild(file("e"));
        sub->addChild(inner);
        sub->addChild(folder("empty"));
        QCOMPARE(sub->counts(), qMakePair(2, 5));

        QVERIFY(top->insertChild(sub, 0));
        QCOMPARE(root->counts(), qMakePair(4, 5));
        QCOMPARE(top->counts(), qMakePair(3, 5));

        // Moving to another parent detaches from the old one first.
        QVERIFY(root->insertChild(sub, 1000));
        QCOMPARE(top->counts(), qMakePair(0, 0));
        QCOMPARE(root->counts(), qMakePair(4, 5));
        QCOMPARE(root->last(), sub);
        QVERIFY(!root->insertChild(sub, 0)); // already a child

        root->detachChild(sub);
        QCOMPARE(root->counts(), qMakePair(1, 0));
        QVERIFY(!sub->parent());
        delete sub;
    }

    void insertPositions()
    {
        std::unique_ptr<CPackageHierarchyNode> root(folder("root"));
        for (const char *n : {"a", "b", "c"})
            root->addChild(file(n));
        CPackageHierarchyNode *first = file("first");
        QVERIFY(root->insertChild(first, 0));
        QCOMPARE(root->child(0), first);
        CPackageHierarchyNode *end = file("end");
        QVERIFY(root->insertChild(end, 1000));
        QCOMPARE(root->last(), end);
        QCOMPARE(root->row(), -1);
        QCOMPARE(end->row(), 4);
        QVERIFY(!root->child(5));
        QVERIFY(!end->child(0));
        std::unique_ptr<CPackageHierarchyNode> orphan(file("x"));
        QVERIFY(!end->insertChild(orphan.get(), 0)); // a file takes no children
    }

    void folderAndLeafConversions()
    {
        std::unique_ptr<CPackageHierarchyNode> root(folder("root"));
        CPackageHierarchyNode *mid = folder("mid");
        root->addChild(mid);
        CPackageHierarchyNode *leaf = file("leaf");
        mid->addChild(leaf);
        const auto before = root->counts();
        leaf->makeFolder();
        QCOMPARE(root->counts(), qMakePair(before.first + 1, before.second - 1));
        leaf->addChild(file("x"));
        leaf->addChild(folder("y"));
        leaf->makeLeaf();
        QCOMPARE(root->counts(), before);
        QCOMPARE(leaf->counts(), qMakePair(0, 0));
        QVERIFY(leaf->isLeaf());
        QVERIFY(countsExact(root.get()));
    }

    // A small folder is searched child by child, a large one through its
    // name index: both find the same nodes.
    void lookupIgnoresCaseFirstMatchWins_data() { folderSizes(); }
    void lookupIgnoresCaseFirstMatchWins()
    {
        std::unique_ptr<CPackageHierarchyNode> root(filledFolder());
        CPackageHierarchyNode *lower = file("readme.txt");
        root->addChild(lower);
        QCOMPARE(root->childByName("README.TXT"), lower);
        // A clashing name is refused and stays the caller's.
        std::unique_ptr<CPackageHierarchyNode> clash(file("ReadMe.txt"));
        QVERIFY(!root->addChild(clash.get()));
        QVERIFY(!clash->parent());
        // insertChild does not check names: the first in child order wins,
        // whichever was inserted first.
        CPackageHierarchyNode *upper = file("README.txt");
        QVERIFY(root->insertChild(upper, 0));
        QCOMPARE(root->childByName("readme.TXT"), upper);
        root->detachChild(upper);
        QCOMPARE(root->childByName("readme.txt"), lower);
        delete upper;
        QVERIFY(!lower->childByName("x"));

        // Names outside ASCII fold too, also to ASCII (the Kelvin sign is a
        // k); a name is never found by one of another length.
        CPackageHierarchyNode *umlaut = file(QString::fromUtf8("Ärger"));
        root->addChild(umlaut);
        QCOMPARE(root->childByName(QString::fromUtf8("äRGER")), umlaut);
        CPackageHierarchyNode *kelvin = file("kelvin.txt");
        root->addChild(kelvin);
        QCOMPARE(root->childByName(QString::fromUtf8("\u212Aelvin.TXT")), kelvin);
        QVERIFY(!root->childByName("kelvin.tx"));
        QVERIFY(!root->childByName("kelvin.txt "));
    }

    // Many removals and inserts in a large folder, with room reserved or
    // not: what is there is found, what left is not.
    void churnKeepsLookupsRight()
    {
        std::unique_ptr<CPackageHierarchyNode> root(folder("root"));
        root->reserveChildren(50);
        QVector<CPackageHierarchyNode *> present;
        for (int round = 0; round < 4; ++round) {
            for (int i = 0; i < 300; ++i) {
                CPackageHierarchyNode *n = file(QStringLiteral("F%1_%2").arg(round).arg(i));
                QVERIFY(root->addChild(n));
                present.append(n);
            }
            for (int i = present.size() - 1; i >= 0; i -= 2) {
                delete present[i];
                present.removeAt(i);
            }
        }
        QCOMPARE(root->childCount(), present.size());
        for (CPackageHierarchyNode *n : qAsConst(present))
            QCOMPARE(root->childByName(n->name().toLower()), n);
        for (int i = 1; i < 300; i += 2)
            QVERIFY(!root->childByName(QStringLiteral("f3_%1").arg(i)));
        QVERIFY(countsExact(root.get()));
    }

    void renameKeepsLookupsRight_data() { folderSizes(); }
    void renameKeepsLookupsRight()
    {
        std::unique_ptr<CPackageHierarchyNode> root(filledFolder());
        CPackageHierarchyNode *a = file("a");
        CPackageHierarchyNode *b = file("b");
        root->addChild(a);
        root->addChild(b);
        QVERIFY(!a->setName(""));
        QCOMPARE(a->name(), QString("a"));
        QVERIFY(!a->setName("B"));
        QVERIFY(a->setName("c"));
        QVERIFY(!root->childByName("a"));
        QCOMPARE(root->childByName("C"), a);
    }

    void paths()
    {
        std::unique_ptr<CPackageHierarchyNode> root(folder("root"));
        CPackageHierarchyNode *c = root->createPath({"a", "b", "c.txt"}, true);
        QVERIFY(c);
        QCOMPARE(c->path(true), QString("a/b/c.txt"));
        QCOMPARE(c->path(false), QString("a/b"));
        QCOMPARE(root->path(true), QString());
        QCOMPARE(root->child(0)->path(false), QString());
        QCOMPARE(root->findNode({"A", "", "B", "C.TXT"}), c);
        QCOMPARE(root->findNode({"a", "b"}, false), c->parent());
        QVERIFY(!root->findNode({"a", "b"}, true));
        QVERIFY(!root->findNode({}));
        QVERIFY(!c->findNode({"x"}));
        // Through a file: nothing found, nothing created.
        QVERIFY(!root->findNode({"a", "b", "c.txt", "d"}));
        QVERIFY(!root->createPath({"a", "b", "c.txt", "d"}, true));
        QVERIFY(c->isLeaf());
        // Wrong kind at the end.
        QVERIFY(!root->createPath({"a", "b"}, true));
        QCOMPARE(root->createPath({"a", "B", "C.txt"}, true), c);
        QCOMPARE(root->counts(), qMakePair(2, 1));
    }

    void containsFoldersFiles()
    {
        std::unique_ptr<CPackageHierarchyNode> root(folder("root"));
        CPackageHierarchyNode *deep = root->createPath({"a", "b", "c", "d.txt"}, true);
        CPackageHierarchyNode *top = root->createPath({"z.txt"}, true);
        root->createPath({"a", "e.txt"}, true);
        QVERIFY(root->contains(top, 0));
        QVERIFY(!root->contains(deep, 2));
        QVERIFY(root->contains(deep, 3));
        QVERIFY(root->contains(deep, -1));
        QVERIFY(!deep->contains(root.get(), -1));

        QStringList names;
        for (CHierarchyNode *n : root->folders(-1))
            names << static_cast<CPackageHierarchyNode *>(n)->name();
        QCOMPARE(names, QStringList({"a", "b", "c"}));
        names.clear();
        for (CHierarchyNode *n : root->files(-1))
            names << static_cast<CPackageHierarchyNode *>(n)->name();
        QCOMPARE(names, QStringList({"d.txt", "e.txt", "z.txt"}));
        QCOMPARE(int(root->files(0).size()), 1);
        QCOMPARE(int(root->folders(0).size()), 1);
    }

    void randomEditsKeepCountsExact()
    {
        QRandomGenerator rng(1234);
        std::unique_ptr<CPackageHierarchyNode> root(folder("root"));
        QVector<CPackageHierarchyNode *> all{root.get()};
        int serial = 0;
        for (int step = 0; step < 3000; ++step) {
            CPackageHierarchyNode *target = all[int(rng.bounded(all.size()))];
            const int op = int(rng.bounded(10));
            if (op < 6) {
                if (target->isLeaf())
                    continue;
                CPackageHierarchyNode *n = rng.bounded(3) ? file(QString::number(serial++))
                                                          : folder(QString::number(serial++));
                QVERIFY(target->insertChild(n, rng.bounded(5)));
                all.append(n);
            } else if (op < 8 && target != root.get()) {
                // Detach and reattach somewhere that is not below itself.
                CPackageHierarchyNode *to = all[int(rng.bounded(all.size()))];
                if (to == target || to->isLeaf() || target->contains(to, -1))
                    continue;
                target->parent()->detachChild(target);
                QVERIFY(to->insertChild(target, rng.bounded(3)));
            } else if (target != root.get()) {
                std::vector<CHierarchyNode *> gone = target->files(-1);
                const auto folders = target->folders(-1);
                gone.insert(gone.end(), folders.begin(), folders.end());
                gone.push_back(target);
                for (CHierarchyNode *g : gone)
                    all.removeOne(static_cast<CPackageHierarchyNode *>(g));
                delete target;
            }
        }
        QVERIFY(countsExact(root.get()));
        QCOMPARE(root->descendantCount(), all.size() - 1);
    }

    void largeFolderKeepsOrderAndCounts()
    {
        // Quadratic inserts or deletes take tens of seconds here and hit the
        // test's time-out; the speed itself is measured by bench_package.
        const int count = 50000;
        auto *root = folder("root");
        CPackageHierarchyNode *big = folder("big");
        root->addChild(big);
        QStringList parts{"big", QString()};
        for (int i = 0; i < count; ++i) {
            parts[1] = QStringLiteral("file_%1.vmt").arg(i);
            QVERIFY(root->createPath(parts, true));
        }
        QCOMPARE(root->fileCount(), count);
        QCOMPARE(big->childByName("FILE_49999.VMT"), big->last());
        // Deleting one from the middle keeps order and counts.
        delete big->childByName("file_25000.vmt");
        QCOMPARE(root->fileCount(), count - 1);
        QCOMPARE(big->child(25000)->name(), QString("file_25001.vmt"));
        delete root;
    }

    void deepTreeDoesNotExhaustTheStack()
    {
        auto *root = folder("root");
        QStringList parts;
        for (int i = 0; i < 20000; ++i)
            parts << QStringLiteral("d");
        QVERIFY(root->createPath(parts, false));
        QCOMPARE(root->folderCount(), 20000);
        QCOMPARE(int(root->folders(-1).size()), 20000);
        delete root;
    }

    void revertNeedsStoredData()
    {
        CPackageHierarchyNode n;
        n.setPendingData("abc", false);
        QVERIFY(n.modified);
        QVERIFY(!n.revert()); // no owner, so no stored data: the data stays
        QCOMPARE(*n.pendingData, QByteArray("abc"));
        QVERIFY(!n.hasFile());
    }
};

QTEST_GUILESS_MAIN(TestPackageTree)
#include "tst_packagetree.moc"
