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

const QByteArray Crate("\"VertexLitGeneric\"\n{\n\t\"$basetexture\" \"models/crate01\"\n"
                       "\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t\t\"$bumpmap\" \"x\"\n"
                       "\t\t}\n\t}\n}\n");
const QByteArray Plain("\"LightmappedGeneric\"\n{\n\t\"$BumpMap\" \"old\"\n}\n");

QStringList listTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QString logText(const VMass &window)
{
    return window.progressDialog() ? window.progressDialog()->logEdit->toPlainText() : QString();
}

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
    void parameterRemoval();
    void proxyTableAndProxies();
    void failedWriteIsLoggedAndOthersAreEdited();

private:
    // Lists the given files through the Add button.
    void add(const QStringList &paths);
    QString file(const QString &relative) const { return m_dir->filePath(relative); }

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
    QVERIFY(writeBytes(file("game/materials/models/crate01.vmt"), Crate));
    QVERIFY(writeBytes(file("game/materials/models/crate01.vtf"), "VTF"));
    QVERIFY(writeBytes(file("game/materials/brick/wall01.vtf"), "VTF"));
    QVERIFY(writeBytes(file("game/Materials/plain.vmt"), Plain));
    QVERIFY(writeBytes(file("loose/other.vtf"), "VTF"));
    QVERIFY(writeBytes(file("loose/other.vmt"), Plain));
    QVERIFY(writeBytes(file("loose/lonely.vtf"), "VTF"));
    m_window = new VMass;
}

void TestMassMaterial::cleanup()
{
    delete m_window;
    delete m_dir;
}

void TestMassMaterial::add(const QStringList &paths)
{
    PromptScript script;
    script.paths(paths);
    m_window->addButton->click();
    QCOMPARE(script.asked.value(0).kind, CPrompt::Kind::OpenFileNames);
}

void TestMassMaterial::addingFiles()
{
    QVERIFY(!m_window->shaderGroup->isEnabled());
    QVERIFY(!m_window->removeButton->isEnabled());

    PromptScript script;
    script.paths({file("game/materials/brick/wall01.vtf"),
                  file("game/materials/models/crate01.vtf"), file("loose/lonely.vtf"),
                  file("loose/other.vtf"), file("game/Materials/plain.vmt"),
                  file("game/materials/models/crate01.vmt")});
    m_window->addButton->click();
    QCOMPARE(script.asked.at(0).title, QStringLiteral("Select Files"));
    QCOMPARE(script.asked.at(0).filter,
             QStringLiteral("Valve Material Type (*.vmt);;Valve Texture File (*.vtf);;Valve "
                            "Materials (*.vmt *.vtf)"));

    // A missing material is made for a texture under "materials"; an existing
    // one is listed as it is.
    QCOMPARE(readBytes(file("game/materials/brick/wall01.vmt")),
             QByteArray("\"LightmappedGeneric\"\n{\n\t\"$basetexture\" \"brick/wall01\"\n}\n"));
    QCOMPARE(readBytes(file("game/materials/models/crate01.vmt")), Crate);
    QVERIFY(!QFileInfo::exists(file("loose/lonely.vmt")));
    QCOMPARE(listTexts(m_window->fileList),
             (QStringList{".../brick/wall01.vmt", ".../models/crate01.vmt", file("loose/other.vmt"),
                          file("game/Materials/plain.vmt")}));
    QCOMPARE(m_window->entry(3)->relativePath, QString());

    const QString log = logText(*m_window);
    QVERIFY(log.contains(QStringLiteral("\"%1\" not under a \"materials\" directory missing "
                                        "matching VMT.")
                             .arg(file("loose/lonely.vtf"))));
    QVERIFY(log.contains(QStringLiteral("File \"%1\" already listed.")
                             .arg(file("game/materials/models/crate01.vmt"))));
    QCOMPARE(m_window->progressDialog()->label->text(), QStringLiteral("Operation complete."));
    QVERIFY(m_window->shaderGroup->isEnabled());
    QVERIFY(m_window->removeButton->isEnabled());

    // Removing the selection; an empty list disables the edits again.
    m_window->fileList->item(0)->setSelected(true);
    m_window->fileList->item(2)->setSelected(true);
    m_window->removeButton->click();
    QCOMPARE(m_window->fileList->count(), 2);
    m_window->fileList->selectAll();
    m_window->removeButton->click();
    QVERIFY(!m_window->proxyGroup->isEnabled());
}

void TestMassMaterial::asteriskValues()
{
    add({file("game/materials/models/crate01.vmt"), file("game/Materials/plain.vmt")});

    // The path below "materials" stands in for "*"; a file without one is
    // left alone and still written back unchanged.
    m_window->parameterBox->setCurrentText(QStringLiteral("$detail"));
    m_window->valueEdit->setText(QStringLiteral("*_detail"));
    m_window->addParameterButton->click();
    QVERIFY(readBytes(file("game/materials/models/crate01.vmt"))
                .contains("\t\"$basetexture\" \"models/crate01\"\n"
                          "\t\"$detail\" \"models/crate01_detail\"\n\t\"Proxies\""));
    QCOMPARE(readBytes(file("game/Materials/plain.vmt")), Plain);
    QVERIFY(logText(*m_window).isEmpty());

    // Another parameter's value, taken from each file above its proxies.
    m_window->asteriskBox->setCurrentText(QStringLiteral("$bumpmap"));
    m_window->parameterBox->setCurrentText(QStringLiteral("$normalmap"));
    m_window->valueEdit->setText(QStringLiteral("*"));
    m_window->addParameterButton->click();
    QVERIFY(readBytes(file("game/materials/models/crate01.vmt")).contains("\"$normalmap\" \"\"\n"));
    QVERIFY(readBytes(file("game/Materials/plain.vmt")).contains("\"$normalmap\" \"\"\n"));

    m_window->asteriskBox->setCurrentText(QStringLiteral("$basetexture"));
    m_window->valueEdit->setText(QStringLiteral("[*]"));
    m_window->addParameterButton->click();
    QVERIFY(readBytes(file("game/materials/models/crate01.vmt"))
                .contains("\t\"$normalmap\" \"[models/crate01]\"\n"));
}

void TestMassMaterial::parameterRemoval()
{
    add({file("game/materials/models/crate01.vmt"), file("game/Materials/plain.vmt")});

    PromptScript script;
    m_window->parameterBox->setCurrentText(QStringLiteral("$bumpmap"));
    script.button(QMessageBox::No);
    m_window->removeParameterButton->click();
    QCOMPARE(script.asked.at(0).kind, CPrompt::Kind::Warning);
    QCOMPARE(script.asked.at(0).title, QStringLiteral("Mass VMT Editor"));
    QCOMPARE(script.asked.at(0).text,
             QStringLiteral("Remove all parameters of type \"$bumpmap\"?"));
    QCOMPARE(script.asked.at(0).defaultButton, QMessageBox::No);
    QCOMPARE(readBytes(file("game/Materials/plain.vmt")), Plain);

    // Every spelling above the header goes, nothing below it.
    script.button(QMessageBox::Yes);
    m_window->removeParameterButton->click();
    QCOMPARE(readBytes(file("game/Materials/plain.vmt")),
             QByteArray("\"LightmappedGeneric\"\n{\n}\n"));
    QCOMPARE(readBytes(file("game/materials/models/crate01.vmt")), Crate);

    m_window->valueEdit->setText(QStringLiteral("MODELS/CRATE01"));
    m_window->parameterBox->setCurrentText(QStringLiteral("$basetexture"));
    script.button(QMessageBox::Yes);
    m_window->removeParameterButton->click();
    QCOMPARE(script.asked.last().text, QStringLiteral("Remove parameter?"));
    QVERIFY(!readBytes(file("game/materials/models/crate01.vmt")).contains("$basetexture"));
}

void TestMassMaterial::proxyTableAndProxies()
{
    add({file("game/materials/models/crate01.vmt"), file("game/Materials/plain.vmt")});

    m_window->proxyBox->setCurrentIndex(1);
    QTableWidget *table = m_window->keyTable;
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("animatedtexturevar"));
    QCOMPARE(table->item(1, 0)->text(), QStringLiteral("animatedtextureframerate"));
    table->item(0, 1)->setText(QStringLiteral("$frame"));
    table->item(1, 1)->setText(QStringLiteral("12"));
    m_window->addProxyButton->click();
    QCOMPARE(readBytes(file("game/Materials/plain.vmt")),
             QByteArray("\"LightmappedGeneric\"\n{\n\t\"$BumpMap\" \"old\"\n\n\t\"Proxies\"\n\t{\n"
                        "\t\t\"AnimatedTexture\"\n\t\t{\n\t\t\t\"animatedtexturevar\" \"$frame\"\n"
                        "\t\t\t\"animatedtextureframerate\" \"12\"\n\t\t}\n\t}\n}\n"));

    m_window->proxyBox->setCurrentIndex(0);
    QCOMPARE(table->rowCount(), 0);

    // Removing a proxy by name; the last one takes the block with it.
    PromptScript script;
    m_window->proxyBox->setCurrentText(QStringLiteral("sine"));
    script.button(QMessageBox::Yes);
    m_window->removeProxyButton->click();
    QCOMPARE(script.asked.at(0).text, QStringLiteral("Remove all proxies of type \"sine\"?"));
    QCOMPARE(readBytes(file("game/materials/models/crate01.vmt")),
             QByteArray("\"VertexLitGeneric\"\n{\n\t\"$basetexture\" \"models/crate01\"\n"
                        "\t\"Proxies\"\n\t{\n\t\t\"AnimatedTexture\"\n\t\t{\n"
                        "\t\t\t\"animatedtexturevar\" \"$frame\"\n"
                        "\t\t\t\"animatedtextureframerate\" \"12\"\n\t\t}\n\t}\n}\n"));

    m_window->proxyBox->setCurrentText(QStringLiteral("AnimatedTexture"));
    script.button(QMessageBox::Yes);
    m_window->removeProxyButton->click();
    QCOMPARE(readBytes(file("game/materials/models/crate01.vmt")),
             QByteArray("\"VertexLitGeneric\"\n{\n\t\"$basetexture\" \"models/crate01\"\n}\n"));
    QCOMPARE(readBytes(file("game/Materials/plain.vmt")), Plain);
}

void TestMassMaterial::failedWriteIsLoggedAndOthersAreEdited()
{
    QTemporaryDir locked;
    const QString stuck = unwritableScript(locked.path(), Plain);
    QVERIFY(!stuck.isEmpty());
    add({file("game/materials/models/crate01.vmt"), stuck, file("game/Materials/plain.vmt"),
         file("loose/other.vmt")});
    QVERIFY(QFile::remove(file("loose/other.vmt")));

    m_window->shaderBox->setCurrentText(QStringLiteral("UnlitGeneric"));
    m_window->evaluateButton->click();

    QCOMPARE(readBytes(stuck), Plain);
    QCOMPARE(readBytes(file("game/Materials/plain.vmt")),
             QByteArray(Plain).replace("LightmappedGeneric", "UnlitGeneric"));
    QCOMPARE(readBytes(file("game/materials/models/crate01.vmt")),
             QByteArray(Crate).replace("VertexLitGeneric", "UnlitGeneric"));

    // Both failures logged; the dialog stays open to show them.
    QProgressDialogger *progress = m_window->progressDialog();
    QVERIFY(progress && progress->isVisible());
    QVERIFY(progress->hasError);
    const QString log = logText(*m_window);
    QVERIFY(log.contains(QStringLiteral("Unable to write to \"%1\"").arg(stuck)));
    QVERIFY(
        log.contains(QStringLiteral("Unable to read from \"%1\"").arg(file("loose/other.vmt"))));
    QCOMPARE(progress->label->text(), QStringLiteral("Operation complete."));

    // A routine's message is logged too, and the file keeps its text.
    QVERIFY(writeBytes(file("loose/other.vmt"), "no material\n"));
    m_window->evaluateButton->click();
    QVERIFY(logText(*m_window).contains(
        QStringLiteral("Unable to find suitable shader insertion point.")));
    QCOMPARE(readBytes(file("loose/other.vmt")), QByteArray("no material\n"));
    restoreWritable(locked.path());
}

QTEST_MAIN(TestMassMaterial)
#include "tst_massmaterial.moc"
