#include "CRegistryKey.h"
#include "PromptScript.h"
#include "VSPLIT.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString Splitter = QStringLiteral("Software\\Valve\\Hammer\\Splitter");
const QString Views = QStringLiteral("Software\\Valve\\Hammer\\3D Views");
const QStringList ComboNames{"topLeft", "topRight", "bottomLeft", "bottomRight"};
const QStringList DrawTypes{"DrawType0,0", "DrawType0,1", "DrawType1,0", "DrawType1,1"};
const QStringList FieldNames{"drawDistance", "modelDistance", "detailDistance"};

quint32 stored(const QString &key, const QString &name)
{
    CRegistryKey registry;
    quint32 value = 0xDEADBEEF;
    if (registry.open(CRegistryKey::CurrentUser, key, CRegistryKey::ReadOnly))
        registry.readDword(name, &value);
    return value;
}

void store(const QString &key, const QString &name, quint32 value)
{
    CRegistryKey registry;
    QVERIFY(registry.create(CRegistryKey::CurrentUser, key));
    QVERIFY(registry.writeDword(name, value));
}

// While it lives no file may grow, so the store cannot be written (file modes
// would not stop root).
struct UnwritableStore
{
    UnwritableStore()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit none = m_saved;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~UnwritableStore() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    rlimit m_saved{};
};

} // namespace

class TestSplitterEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void missingValues_data();
    void missingValues();
    void showsAndWritesValues();
    void failedWritesWarn();

private:
    template <typename T>
    T *child(const QString &name) const
    {
        return m_editor->findChild<T *>(name);
    }
    void build();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PromptScript> m_script;
    QPointer<VSPLIT> m_editor;
};

void TestSplitterEditor::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    CRegistryKey::setStoreFile(m_dir->filePath(QStringLiteral("registry.ini")));
    m_script = std::make_unique<PromptScript>();
    const quint32 views[] = {3, 12, 0, 11};
    for (int i = 0; i < 4; ++i)
        store(Splitter, DrawTypes[i], views[i]);
    store(Views, QStringLiteral("BackPlane"), 4000);
    store(Views, QStringLiteral("ModelDistance"), 3000000000u);
    store(Views, QStringLiteral("DetailDistance"), 1200);
}

void TestSplitterEditor::cleanup()
{
    delete m_editor;
    m_script.reset();
    CRegistryKey::setStoreFile(QString());
    m_dir.reset();
}

void TestSplitterEditor::build()
{
    m_editor = new VSPLIT;
    QVERIFY(m_editor->testAttribute(Qt::WA_DeleteOnClose));
}

void TestSplitterEditor::missingValues_data()
{
    QTest::addColumn<bool>("noStore");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QStringList>("disabled");

    QTest::newRow("no keys") << true
                             << QStringList{"\"Splitter\" could not be opened.",
                                            "\"3D Views\" could not be opened."}
                             << ComboNames + FieldNames;
    QTest::newRow("bad values") << false
                                << QStringList{"\"DrawType0,1\" could not be read.",
                                               "\"DrawType1,1\" could not be read.",
                                               "\"BackPlane\" could not be opened.",
                                               "\"DetailDistance\" could not be opened."}
                                << QStringList{"topRight", "bottomRight", "drawDistance",
                                               "detailDistance"};
}

void TestSplitterEditor::missingValues()
{
    QFETCH(bool, noStore);
    QFETCH(QStringList, warnings);
    QFETCH(QStringList, disabled);
    if (noStore) {
        QFile::remove(CRegistryKey::storeFile());
    } else {
        // A text value, a missing one, one longer than 32 bits, another missing,
        // written by hand as a user would edit the store.
        QFile file(CRegistryKey::storeFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[HKEY_CURRENT_USER\\Software\\Valve\\Hammer\\Splitter]\n"
                   "DrawType0,0=dword:00000003\n"
                   "DrawType0,1=3\n"
                   "DrawType1,0=dword:00000000\n"
                   "\n"
                   "[HKEY_CURRENT_USER\\Software\\Valve\\Hammer\\3D Views]\n"
                   "BackPlane=dword:0000000100000000\n"
                   "ModelDistance=dword:b2d05e00\n");
    }
    build();
    QStringList texts;
    for (const CPrompt::Request &request : m_script->asked) {
        QCOMPARE(request.kind, CPrompt::Kind::Warning);
        QCOMPARE(request.title, QString()); // asked before the title is set
        texts << request.text;
    }
    QCOMPARE(texts, warnings);
    QStringList off;
    for (const QString &name : ComboNames + FieldNames) {
        QWidget *control = m_editor->findChild<QWidget *>(name);
        if (!control->isEnabled())
            off << name;
        // A disabled control shows no value that could pass for a stored one.
        if (auto *combo = qobject_cast<QComboBox *>(control); combo && !combo->isEnabled())
            QCOMPARE(combo->currentIndex(), -1);
        if (auto *field = qobject_cast<QLineEdit *>(control); field && !field->isEnabled())
            QCOMPARE(field->text(), QString());
        if (FieldNames.contains(name))
            QCOMPARE(child<QPushButton>(name + "Button")->isEnabled(), control->isEnabled());
    }
    QCOMPARE(off, disabled);
}

void TestSplitterEditor::showsAndWritesValues()
{
    build();
    const int indexes[] = {3, -1, 0, 11}; // 12 names no view
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(child<QComboBox>(ComboNames[i])->count(), 12);
        QCOMPARE(child<QComboBox>(ComboNames[i])->currentIndex(), indexes[i]);
    }
    QCOMPARE(child<QLineEdit>("drawDistance")->text(), QStringLiteral("4000"));
    QCOMPARE(child<QLineEdit>("modelDistance")->text(), QStringLiteral("3000000000"));
    QCOMPARE(child<QLineEdit>("detailDistance")->text(), QStringLiteral("1200"));
    QCOMPARE(stored(Splitter, "DrawType0,1"), 12u); // nothing written while building

    auto *bottomRight = child<QComboBox>("bottomRight");
    emit bottomRight->activated(4);
    QCOMPARE(stored(Splitter, "DrawType1,1"), 4u);
    // The entry already shown is written again.
    store(Splitter, "DrawType1,1", 9);
    emit bottomRight->activated(4);
    QCOMPARE(stored(Splitter, "DrawType1,1"), 4u);
    emit child<QComboBox>("topRight")->activated(0);
    QCOMPARE(stored(Splitter, "DrawType0,1"), 0u);

    auto *model = child<QLineEdit>("modelDistance");
    model->setText(QStringLiteral("2500"));
    emit model->editingFinished();
    QCOMPARE(stored(Views, "ModelDistance"), 2500u);
    child<QPushButton>("modelDistanceButton")->click();
    QCOMPARE(model->text(), QStringLiteral("56756"));
    QCOMPARE(stored(Views, "ModelDistance"), 56756u);
    model->clear();
    emit model->editingFinished();
    QCOMPARE(stored(Views, "ModelDistance"), 56756u);
    QCOMPARE(model->text(), QStringLiteral("56756"));
    QVERIFY(m_script->asked.isEmpty());
}

void TestSplitterEditor::failedWritesWarn()
{
    build();
    // As a user's choice does: the entry changes, then activated() reports it.
    const auto choose = [this](const QString &name, int index) {
        auto *combo = child<QComboBox>(name);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    };
    {
        UnwritableStore unwritable;
        choose("topLeft", 5);
        child<QPushButton>("detailDistanceButton")->click();
        auto *draw = child<QLineEdit>("drawDistance");
        draw->setText(QStringLiteral("77"));
        emit draw->editingFinished();
    }
    QCOMPARE(stored(Splitter, "DrawType0,0"), 3u);
    QCOMPARE(stored(Views, "DetailDistance"), 1200u);
    QCOMPARE(stored(Views, "BackPlane"), 4000u);
    // Every control shows the stored value again, not the one refused.
    QCOMPARE(child<QComboBox>("topLeft")->currentIndex(), 3);
    QCOMPARE(child<QLineEdit>("detailDistance")->text(), QStringLiteral("1200"));
    QCOMPARE(child<QLineEdit>("drawDistance")->text(), QStringLiteral("4000"));
    // What was written last is what a later failure goes back to.
    choose("topLeft", 6);
    QCOMPARE(stored(Splitter, "DrawType0,0"), 6u);
    // A key gone since the window was built.
    QFile::remove(CRegistryKey::storeFile());
    choose("bottomLeft", 1);
    QCOMPARE(child<QComboBox>("bottomLeft")->currentIndex(), 0);
    choose("topLeft", 2);
    QCOMPARE(child<QComboBox>("topLeft")->currentIndex(), 6);
    const QString title = QStringLiteral("Hammer Splitter Editor|");
    QCOMPARE(m_script->texts(), (QStringList{title + "Unable to set top left viewport.",
                                             title + "Unable to set detail draw distance.",
                                             title + "Unable to set draw distance.",
                                             title + "Unable to set bottom left viewport.",
                                             title + "Unable to set top left viewport."}));
}

QTEST_MAIN(TestSplitterEditor)
#include "tst_splittereditor.moc"
