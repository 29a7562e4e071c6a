#include "CVector3.h"
#include "PointerContainers.h"

#include <QtTest>

#include <algorithm>
#include <vector>

namespace {

struct Counted
{
    explicit Counted(QList<Counted *> *deleted = nullptr)
        : m_deleted(deleted)
    {}
    ~Counted()
    {
        if (m_deleted)
            m_deleted->append(this);
    }
    QList<Counted *> *m_deleted;
};

// A tree node that takes itself out of its parent's child vector when it
// dies, as the package tree's nodes do.
struct Node
{
    explicit Node(Node *parent, int *deaths)
        : m_parent(parent)
        , m_deaths(deaths)
    {
        if (parent)
            parent->m_children.push_back(this);
    }
    virtual ~Node()
    {
        deleteAll(m_children);
        if (m_parent) {
            auto &siblings = m_parent->m_children;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        }
        ++*m_deaths;
    }
    Node *m_parent;
    int *m_deaths;
    std::vector<Node *> m_children;
};

} // namespace

Q_DECLARE_METATYPE(CVector3)

class TestVectorContainers : public QObject
{
    Q_OBJECT

private slots:
    void vectorArithmetic();
    void vectorComparisons_data();
    void vectorComparisons();
    void removeDuplicates();
    void deleteAllOnce();
    void deleteAllWithSelfDetachingNodes();
};

void TestVectorContainers::vectorArithmetic()
{
    CVector3 v;
    QVERIFY(v == CVector3(0, 0, 0));
    v.set(1, 2, 3);
    const CVector3 w(4, 6, 8);
    const CVector3 sum = v + w;
    const CVector3 diff = w - v;
    QVERIFY(sum == CVector3(5, 8, 11));
    QVERIFY(diff == CVector3(3, 4, 5));
    QCOMPARE(v.lengthSquared(), 14.0f);
}

void TestVectorContainers::vectorComparisons_data()
{
    QTest::addColumn<CVector3>("a");
    QTest::addColumn<CVector3>("b");
    QTest::addColumn<bool>("less");
    QTest::addColumn<bool>("lessEqual");
    QTest::addColumn<bool>("greaterEqual");
    QTest::addColumn<bool>("equal");

    QTest::newRow("shorter") << CVector3(1, 0, 0) << CVector3(0, 2, 0) << true << true << false
                             << false;
    QTest::newRow("longer") << CVector3(0, 3, 0) << CVector3(0, 2, 0) << false << false << true
                            << false;
    // Same length, other direction: only >= holds, both ways.
    QTest::newRow("same length") << CVector3(3, 4, 0) << CVector3(0, 0, 5) << false << false << true
                                 << false;
    QTest::newRow("same vector") << CVector3(1, 2, 3) << CVector3(1, 2, 3) << false << true << true
                                 << true;
}

void TestVectorContainers::vectorComparisons()
{
    QFETCH(CVector3, a);
    QFETCH(CVector3, b);
    QTEST(a < b, "less");
    QTEST(a <= b, "lessEqual");
    QTEST(a >= b, "greaterEqual");
    QTEST(a == b, "equal");

    const CVector3 v(3, 4, 0);
    QVERIFY(v >= 5.0f);
    QVERIFY(!(v < 5.0f));
    QVERIFY(v <= 5.0f);
    QVERIFY(v == 5.0f);
    QVERIFY(v < 5.1f);
    QVERIFY(!(v >= 5.1f));
    QVERIFY(!(v <= 4.9f));
}

void TestVectorContainers::removeDuplicates()
{
    int p, q, r;
    QList<int *> list{&p, &q, &p, &r, &q};
    removeDuplicatePointers(list);
    QCOMPARE(list, (QList<int *>{&p, &q, &r}));

    QVector<int *> vector{nullptr, &q, nullptr, &q, &r};
    removeDuplicatePointers(vector);
    QCOMPARE(vector, (QVector<int *>{nullptr, &q, &r}));

    std::vector<int *> std{&r, &r, &r};
    removeDuplicatePointers(std);
    QCOMPARE(std.size(), size_t(1));
    QCOMPARE(std.front(), &r);
}

void TestVectorContainers::deleteAllOnce()
{
    QList<Counted *> deleted;
    auto *a = new Counted(&deleted);
    auto *b = new Counted(&deleted);

    QList<Counted *> list{a, nullptr, b, a, nullptr, b};
    deleteAll(list);
    QVERIFY(list.isEmpty());
    QCOMPARE(deleted.size(), 2);
    QCOMPARE(QSet<Counted *>(deleted.begin(), deleted.end()).size(), 2);

    deleted.clear();
    QVector<Counted *> vector{new Counted(&deleted)};
    vector.append(vector.first());
    deleteAll(vector);
    QVERIFY(vector.isEmpty());
    QCOMPARE(deleted.size(), 1);

    std::vector<Counted *> empty;
    deleteAll(empty);
    QVERIFY(empty.empty());
}

void TestVectorContainers::deleteAllWithSelfDetachingNodes()
{
    int deaths = 0;
    auto *root = new Node(nullptr, &deaths);
    auto *a = new Node(root, &deaths);
    new Node(a, &deaths);
    new Node(a, &deaths);
    new Node(root, &deaths);
    new Node(root, &deaths);
    delete root;
    QCOMPARE(deaths, 6);

    // Deleting the children of a node that stays alive empties its vector.
    deaths = 0;
    Node parent(nullptr, &deaths);
    new Node(&parent, &deaths);
    new Node(&parent, &deaths);
    parent.m_children.push_back(parent.m_children.front());
    deleteAll(parent.m_children);
    QVERIFY(parent.m_children.empty());
    QCOMPARE(deaths, 2);
}

QTEST_GUILESS_MAIN(TestVectorContainers)
#include "tst_vectorcontainers.moc"
