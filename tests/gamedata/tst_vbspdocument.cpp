#include "CFileVBSP.h"

#include <QtTest>

// The document's list rules hold alike for types in the document, groups in
// a type and props in a group; each test runs them at all three levels.
namespace {

struct Levels
{
    CFileVBSP document;
    CDetailType type;
    CDetailGroup group;

    bool add(int level, const std::string &name)
    {
        if (level == 0)
            return document.addType(name);
        if (level == 1)
            return type.addGroup(name);
        return group.addProp(name);
    }

    void paste(int level, const std::string &name)
    {
        if (level == 0) {
            auto *copy = new CDetailType;
            copy->name = name;
            document.pasteType(copy);
        } else if (level == 1) {
            auto *copy = new CDetailGroup;
            copy->name = name;
            type.pasteGroup(copy);
        } else {
            auto *copy = new CDetailProp;
            copy->name = name;
            group.pasteProp(copy);
        }
    }

    template <typename T>
    static QStringList names(const std::vector<T *> &list)
    {
        QStringList out;
        for (const T *element : list)
            out << QString::fromStdString(element->name);
        return out;
    }

    QStringList names(int level) const
    {
        return level == 0 ? names(document.types)
                          : (level == 1 ? names(type.groups) : names(group.props));
    }
};

} // namespace

class TestVbspDocument : public QObject
{
    Q_OBJECT

private slots:
    void addNames_data();
    void addNames();
    void pasteNaming();
    void swapBounds_data();
    void swapBounds();
    void removal();
    void duplicatedPointersFreedOnce();
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
    QTest::newRow("tab") << QByteArray("grass\t") << false;
    QTest::newRow("carriage return") << QByteArray("grass\r") << false;
    QTest::newRow("quote") << QByteArray("gr\"ass") << false;
    QTest::newRow("open brace") << QByteArray("{") << false;
    QTest::newRow("close brace") << QByteArray("}") << false;
    QTest::newRow("comment") << QByteArray("//grass") << false;
    QTest::newRow("brace in a word") << QByteArray("{grass}") << true;
    QTest::newRow("slashes inside") << QByteArray("a//b") << true;
    QTest::newRow("latin-1") << QByteArray("gr\xe4s") << true;
}

void TestVbspDocument::addNames()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, accepted);

    for (int level = 0; level < 3; ++level) {
        Levels levels;
        QVERIFY(levels.add(level, "Grass"));
        QCOMPARE(levels.add(level, name.toStdString()), accepted);
        QCOMPARE(levels.names(level).size(), accepted ? 2 : 1);
    }
    // A new record starts from the documented values.
    CDetailGroup group;
    const CDetailProp *prop = group.addProp("p");
    QCOMPARE(prop->textureDimension, 1024);
    QCOMPARE(prop->uOrigin, 0.5f);
    QCOMPARE(prop->detailOrientation, 2);
    QCOMPARE(prop->minangle, 180.0f);
}

void TestVbspDocument::pasteNaming()
{
    for (int level = 0; level < 3; ++level) {
        Levels levels;
        levels.add(level, "Grass");
        levels.add(level, "Grass_1");
        levels.paste(level, "Grass");
        levels.paste(level, "Moss");
        levels.paste(level, "Grass");
        levels.paste(level, "Grass_1");
        QCOMPARE(levels.names(level),
                 (QStringList{"Grass", "Grass_1", "Grass_2", "Moss", "Grass_3", "Grass_1_1"}));
    }
    // An element the list already holds is not appended a second time.
    CDetailGroup group;
    CDetailProp *prop = group.addProp("p");
    group.pasteProp(prop);
    group.pasteProp(nullptr);
    QCOMPARE(Levels::names(group.props), QStringList{"p"});
}

void TestVbspDocument::swapBounds_data()
{
    QTest::addColumn<uint>("i");
    QTest::addColumn<uint>("j");
    QTest::addColumn<QString>("order");

    QTest::newRow("same") << 1u << 1u << "a b c";
    QTest::newRow("at the length") << 0u << 3u << "a b c";
    QTest::newRow("beyond") << 7u << 0u << "a b c";
    QTest::newRow("ends") << 0u << 2u << "c b a";
    QTest::newRow("down") << 2u << 1u << "a c b";
}

void TestVbspDocument::swapBounds()
{
    QFETCH(uint, i);
    QFETCH(uint, j);
    QFETCH(QString, order);

    for (int level = 0; level < 3; ++level) {
        Levels levels;
        for (const char *name : {"a", "b", "c"})
            levels.add(level, name);
        if (level == 0)
            levels.document.swapTypes(i, j);
        else if (level == 1)
            levels.type.swapGroups(i, j);
        else
            levels.group.swapProps(i, j);
        QCOMPARE(levels.names(level).join(' '), order);
    }
}

void TestVbspDocument::removal()
{
    CFileVBSP document;
    document.addType("a");
    CDetailType *b = document.addType("b");
    document.addType("c");
    CDetailType stranger;
    document.removeType(&stranger, true);
    document.removeTypeAt(3, true);
    QCOMPARE(Levels::names(document.types).join(' '), QStringLiteral("a b c"));

    // Taken out without freeing: still the caller's.
    document.removeType(b, false);
    QCOMPARE(document.indexOfType(b), -1);
    b->addGroup("kept");
    delete b;

    document.removeTypeAt(0, true);
    QCOMPARE(Levels::names(document.types).join(' '), QStringLiteral("c"));
    QCOMPARE(document.findType("a"), nullptr);

    // Freeing a pointer listed twice takes both entries out.
    CDetailGroup group;
    CDetailProp *p = group.addProp("p");
    CDetailProp *q = group.addProp("q");
    group.props.push_back(p);
    group.removeProp(p, true);
    QCOMPARE(group.props, std::vector<CDetailProp *>{q});
    group.removePropAt(0, false);
    delete q;
}

// The sanitizer build fails this test on a double free.
void TestVbspDocument::duplicatedPointersFreedOnce()
{
    auto *document = new CFileVBSP("x.vbsp");
    CDetailType *type = document->addType("t");
    CDetailGroup *group = type->addGroup("g");
    CDetailProp *prop = group->addProp("p");
    group->props.push_back(prop);
    type->groups.push_back(group);
    document->types.push_back(type);
    QCOMPARE(document->findType("t"), type);
    delete document;
}

void TestVbspDocument::deepCopies()
{
    auto *type = new CDetailType;
    type->name = "t";
    type->density = 0.5f;
    CDetailProp *prop = type->addGroup("g")->addProp("p");
    prop->model = "a.mdl";

    CDetailType copy(*type);
    QCOMPARE(copy.name, std::string("t"));
    QCOMPARE(copy.density, 0.5f);
    QVERIFY(copy.groups[0] != type->groups[0]);
    CDetailProp *copied = copy.groups[0]->props[0];
    QVERIFY(copied != prop);
    QCOMPARE(copied->model, std::string("a.mdl"));
    copied->model = "b.mdl";
    QCOMPARE(prop->model, std::string("a.mdl"));

    CDetailGroup groupCopy(*copy.groups[0]);
    delete type;
    QCOMPARE(groupCopy.props[0]->model, std::string("b.mdl"));
}

QTEST_GUILESS_MAIN(TestVbspDocument)
#include "tst_vbspdocument.moc"
