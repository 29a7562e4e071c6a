#include "MaterialFixture.h"
#include "QProgressDialogger.h"
#include "VMass.h"
#include "VMassListWidgetItem.h"
#include "initResources.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

const QByteArray Crate("\"VertexLitGeneric\"\n{\n\t$basetexture models/crate01\n\t\"Proxies\"\n"
                       "\t{\n\t\t\"Sine\"\n\t\t{\n\t\t\t$bumpmap x\n\t\t}\n\t}\n}\n");
const QByteArray Plain("\"LightmappedGeneric\"\n{\n\t\"$BumpMap\" \"old\"\n}\n");

} // namespace

class TestMassMaterial : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void addingFiles();
    void asteriskValues();
    void removals();
    void failedWriteIsLoggedAndOthersAreEdited();

private:
    // Lists the files through the Add button; the answers that follow are
    // for the operation after it.
    void add(const QStringList &relative);
    QString file(const QString &relative) const { return m_dir->filePath(relative); }
    QString log() const { return m_window->progressDialog()->logEdit->toPlainText(); }

    QTemporaryDir *m_dir = nullptr;
    VMass *m_window = nullptr;
};

void TestMassMaterial::initTestCase()
{
    initResources();
    useMaterialVocabulary();
}

void TestMassMaterial::init()
{
    m_dir = new QTemporaryDir;
    for (const char *texture :
         {"game/materials/models/crate01.vtf", "game/materials/brick/wall01.vtf", "loose/other.vtf",
          "loose/lonely.vtf"})
        QVERIFY(writeBytes(file(texture), "VTF"));
    QVERIFY(writeBytes(file("game/materials/models/crate01.vmt"), Crate));
    QVERIFY(writeBytes(file("game/Materials/plain.vmt"), Plain));
    QVERIFY(writeBytes(file("loose/other.vmt"), Plain));
    m_window = new VMass;
}

void TestMassMaterial::cleanup()
{
    delete m_window;
    delete m_dir;
}

void TestMassMaterial::add(const QStringList &relative)
{
    QStringList paths;
    for (const QString &path : relative)
        paths << (path.startsWith('/') ? path : file(path));
    PromptScript script;
    script.files(paths);
    m_window->addButton->click();
}

void TestMassMaterial::addingFiles()
{
    QVERIFY(!m_window->shaderGroup->isEnabled());
    PromptScript script;
    script.files({file("game/materials/brick/wall01.vtf"),
                  file("game/materials/models/crate01.vtf"), file("loose/lonely.vtf"),
                  file("loose/other.vtf"), file("game/Materials/plain.vmt"),
                  file("game/materials/models/crate01.vmt")});
    m_window->addButton->click();
    QCOMPARE(script.asked.at(0).kind, CPrompt::Kind::OpenFileNames);
    QCOMPARE(script.asked.at(0).filter,
             QStringLiteral("Valve Material Type (*.vmt);;Valve Texture File (*.vtf);;Valve "
                            "Materials (*.vmt *.vtf)"));

    // A missing material is made for a texture under "materials" only.
    QCOMPARE(readBytes(file("game/materials/brick/wall01.vmt")),
             QByteArray("\"LightmappedGeneric\"\n{\n\t\"$basetexture\" \"brick/wall01\"\n}\n"));
    QCOMPARE(readBytes(file("game/materials/models/crate01.vmt")), Crate);
    QVERIFY(!QFileInfo::exists(file("loose/lonely.vmt")));
    QStringList texts;
    for (int i = 0; i < m_window->fileList->count(); ++i)
        texts << m_window->fileList->item(i)->text();
    QCOMPARE(texts, (QStringList{".../brick/wall01.vmt", ".../models/crate01.vmt",
                                 file("loose/other.vmt"), file("game/Materials/plain.vmt")}));
    QCOMPARE(log(), QStringLiteral("\"%1\" not under a \"materials\" directory missing matching "
                                   "VMT.\nFile \"%2\" already listed.")
                        .arg(file("loose/lonely.vtf"), file("game/materials/models/crate01.vmt")));
    QCOMPARE(m_window->progressDialog()->label->text(), QStringLiteral("Operation complete."));
    QVERIFY(m_window->shaderGroup->isEnabled());

    m_window->fileList->item(0)->setSelected(true);
    m_window->fileList->item(2)->setSelected(true);
    m_window->removeButton->click();
    QCOMPARE(m_window->entry(1)->path, file("game/Materials/plain.vmt"));
    m_window->fileList->selectAll();
    m_window->removeButton->click();
    QVERIFY(!m_window->proxyGroup->isEnabled());
}

void TestMassMaterial::asteriskValues()
{
    add({"game/materials/models/crate01.vmt", "game/Materials/plain.vmt"});
    const QString crate = file("game/materials/models/crate01.vmt");
    const QString plain = file("game/Materials/plain.vmt");

    // The path below "materials" stands in for "*"; a file without one gets
    // no edit (but a value without "*" needs none).
    m_window->parameterBox->setCurrentText(QStringLiteral("$detail"));
    m_window->valueEdit->setText(QStringLiteral("*"));
    m_window->addParameterButton->click();
    QVERIFY(readBytes(crate).contains("$basetexture models/crate01\n"
                                      "\t\"$detail\" \"models/crate01\"\n\t\"Proxies\""));
    QCOMPARE(readBytes(plain), Plain);
    m_window->valueEdit->setText(QStringLiteral("2"));
    m_window->addParameterButton->click();
    QVERIFY(readBytes(plain).contains("\t\"$detail\" \"2\"\n}"));

    // Another key's value, taken from above the proxies, case-sensitively.
    m_window->asteriskBox->setCurrentText(QStringLiteral("$basetexture"));
    m_window->parameterBox->setCurrentText(QStringLiteral("$DETAIL"));
    m_window->valueEdit->setText(QStringLiteral("[*]"));
    m_window->addParameterButton->click();
    QVERIFY(readBytes(crate).contains("\t\"$DETAIL\" \"[models/crate01]\"\n"));
    QVERIFY(readBytes(plain).contains("\t\"$DETAIL\" \"[]\"\n}"));
}

void TestMassMaterial::removals()
{
    add({"game/materials/models/crate01.vmt", "game/Materials/plain.vmt"});
    const QString crate = file("game/materials/models/crate01.vmt");
    const QString plain = file("game/Materials/plain.vmt");

    // A proxy from the table, with the values typed into it.
    m_window->proxyBox->setCurrentIndex(1);
    QTableWidget *table = m_window->keyTable;
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(1, 0)->text(), QStringLiteral("rate"));
    table->item(1, 1)->setText(QStringLiteral("12"));
    m_window->addProxyButton->click();
    QVERIFY(readBytes(plain).contains("\t\t\"AnimatedTexture\"\n\t\t{\n\t\t\t\"framevar\" \"\"\n"
                                      "\t\t\t\"rate\" \"12\"\n\t\t}\n\t}\n}\n"));
    m_window->proxyBox->setCurrentIndex(0);
    QCOMPARE(table->rowCount(), 0);

    // Every spelling of a key above the header, none below; asked first.
    PromptScript script;
    m_window->parameterBox->setCurrentText(QStringLiteral("$bumpmap"));
    script.button(QMessageBox::No).button(QMessageBox::Yes);
    m_window->removeParameterButton->click();
    QCOMPARE(script.asked.at(0).title, QStringLiteral("Mass VMT Editor"));
    QCOMPARE(script.asked.at(0).text,
             QStringLiteral("Remove all parameters of type \"$bumpmap\"?"));
    QCOMPARE(script.asked.at(0).defaultButton, QMessageBox::No);
    QVERIFY(readBytes(plain).contains("\"$BumpMap\""));
    m_window->removeParameterButton->click();
    QVERIFY(!readBytes(plain).contains("\"$BumpMap\""));
    QVERIFY(readBytes(crate).contains("$bumpmap x"));

    // The last quoted proxy of a name takes the block with it.
    m_window->proxyBox->setCurrentText(QStringLiteral("animatedtexture"));
    script.button(QMessageBox::Yes);
    m_window->removeProxyButton->click();
    QCOMPARE(script.asked.last().text,
             QStringLiteral("Remove all proxies of type \"animatedtexture\"?"));
    QCOMPARE(readBytes(plain), QByteArray("\"LightmappedGeneric\"\n{\n}\n"));
    QVERIFY(readBytes(crate).startsWith("\"VertexLitGeneric\"\n{\n\t$basetexture "
                                        "models/crate01\n\t\"Proxies\"\n\t{\n\t\t\"Sine\""));
}

void TestMassMaterial::failedWriteIsLoggedAndOthersAreEdited()
{
    QTemporaryDir locked;
    const QString stuck = unwritableScript(locked.path(), Plain);
    add({"game/materials/models/crate01.vmt", stuck, "game/Materials/plain.vmt",
         "loose/other.vmt"});
    QVERIFY(QFile::remove(file("loose/other.vmt")));

    m_window->shaderBox->setCurrentText(QStringLiteral("UnlitGeneric"));
    m_window->evaluateButton->click();
    QCOMPARE(readBytes(stuck), Plain);
    QCOMPARE(readBytes(file("game/Materials/plain.vmt")),
             QByteArray(Plain).replace("LightmappedGeneric", "UnlitGeneric"));
    QCOMPARE(readBytes(file("game/materials/models/crate01.vmt")),
             QByteArray(Crate).replace("VertexLitGeneric", "UnlitGeneric"));

    // Both failures logged with their reasons; the dialog stays open.
    QProgressDialogger *progress = m_window->progressDialog();
    QVERIFY(progress->isVisible());
    const QStringList lines = log().split('\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0), QStringLiteral("Unable to write to \"%1\"").arg(stuck));
    QCOMPARE(lines.at(2),
             QStringLiteral("Unable to read from \"%1\"").arg(file("loose/other.vmt")));
    QCOMPARE(progress->label->text(), QStringLiteral("Operation complete."));

    // A routine's message is logged; the file keeps its text.
    QVERIFY(writeBytes(file("loose/other.vmt"), "no material\n"));
    m_window->evaluateButton->click();
    QVERIFY(log().contains(QStringLiteral("Unable to find suitable shader insertion point.")));
    QCOMPARE(readBytes(file("loose/other.vmt")), QByteArray("no material\n"));
    setFolderWritable(locked.path());
}

QTEST_MAIN(TestMassMaterial)
#include "tst_massmaterial.moc"
