#include "CFileVBSP.h"

#include <QtTest>

namespace {

template <typename T>
QString names(const std::vector<T *> &list)
{
    QStringList out;
    for (const T *element : list)
        out << QString::fromStdString(element->name);
    return out.join(' ');
}

template <typename T>
T *named(const std::string &name)
{
    auto *element = new T;
    element->name = name;
    return element;
}

} // namespace

// The three levels share one set of list rules; each rule is checked at the
// level where the editor leans on it most.
class TestVbspDocument : public QObject
{
    Q_OBJECT

private slots:
    void addNames_data();
    void addNames();
    void pasteNaming();
    void swapBounds();
    void removal();
    void deepCopies();
};

void TestVbspDocument::addNames_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("taken") << QByteArray("Grass") << false;
    QTest::newRow("other case") << QByteArray("grass") << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("blank") << QByteArray("tall grass") << false;
    QTest::newRow("carriage return") << QByteArray("grass\r") << false;
    QTest::newRow("quote") << QByteArray("gr\"ass") << false;
    QTest::newRow("brace") << QByteArray("}") << false;
    QTest::newRow("comment") << QByteArray("//grass") << false;
    QTest::newRow("braces in a word") << QByteArray("{grass}") << true;
    QTest::newRow("slashes inside") << QByteArray("a//b") << true;
}

void TestVbspDocument::addNames()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, accepted);

    CDetailGroup group;
    QVERIFY(group.addProp("Grass"));
    QCOMPARE(bool(group.addProp(name.toStdString())), accepted);
    QCOMPARE(int(group.props.size()), accepted ? 2 : 1);
    // The same rule at the other levels.
    CFileVBSP document;
    CDetailType *type = document.addType("Grass");
    QCOMPARE(bool(document.addType(name.toStdString())), accepted);
    QVERIFY(type->addGroup("Grass"));
    QCOMPARE(bool(type->addGroup(name.toStdString())), accepted);
}

void TestVbspDocument::pasteNaming()
{
    CFileVBSP document;
    document.addType("Grass");
    document.addType("Grass_1");
    for (const char *name : {"Grass", "Moss", "Grass", "Grass_1"})
        document.pasteType(named<CDetailType>(name));
    QCOMPARE(names(document.types), QStringLiteral("Grass Grass_1 Grass_2 Moss Grass_3 Grass_1_1"));

    // An element the list already holds is not appended a second time.
    CDetailGroup group;
    CDetailProp *prop = group.addProp("p");
    group.pasteProp(prop);
    group.pasteProp(nullptr);
    group.pasteProp(named<CDetailProp>("p"));
    QCOMPARE(names(group.props), QStringLiteral("p p_1"));
}

// Swaps naming a place at or past the end do nothing.
void TestVbspDocument::swapBounds()
{
    CFileVBSP document;
    CDetailType type;
    for (const char *name : {"a", "b", "c"}) {
        document.addType(name);
        type.addGroup(name);
    }
    for (const auto &[i, j] : {std::pair<uint, uint>(0, 3), {7, 0}, {0, 2}}) {
        document.swapTypes(i, j);
        type.swapGroups(i, j);
    }
    QCOMPARE(names(document.types), QStringLiteral("c b a"));
    QCOMPARE(names(type.groups), QStringLiteral("c b a"));
}

// Run under the sanitizers: a pointer listed twice is freed once, and one
// taken out without freeing stays the caller's.
void TestVbspDocument::removal()
{
    auto *document = new CFileVBSP("x.vbsp");
    CDetailType *type = document->addType("t");
    CDetailGroup *group = type->addGroup("g");
    CDetailProp *prop = group->addProp("p");
    group->props.push_back(prop);
    type->groups.push_back(group);
    document->types.push_back(type);
    CDetailType stranger;
    document->removeType(&stranger, true);
    document->removeTypeAt(2, true);
    QCOMPARE(names(document->types), QStringLiteral("t t"));
    delete document;

    CDetailGroup props;
    CDetailProp *p = props.addProp("p");
    CDetailProp *q = props.addProp("q");
    props.props.push_back(p);
    props.removeProp(p, true);
    QCOMPARE(names(props.props), QStringLiteral("q"));
    props.removePropAt(0, false);
    QCOMPARE(props.indexOfProp(q), -1);
    delete q;
}

void TestVbspDocument::deepCopies()
{
    auto *type = new CDetailType;
    type->density = 0.5f;
    CDetailProp *prop = type->addGroup("g")->addProp("p");
    prop->model = "a.mdl";

    CDetailType copy(*type);
    QCOMPARE(copy.density, 0.5f);
    CDetailProp *copied = copy.groups[0]->props[0];
    QVERIFY(copied != prop);
    copied->model = "b.mdl";
    QCOMPARE(prop->model, std::string("a.mdl"));

    CDetailGroup groupCopy(*copy.groups[0]);
    delete type;
    QCOMPARE(groupCopy.props[0]->model, std::string("b.mdl"));
}

QTEST_GUILESS_MAIN(TestVbspDocument)
#include "tst_vbspdocument.moc"
