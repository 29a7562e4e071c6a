#include "MaterialFixture.h"
#include "QProgressDialogger.h"
#include "VMass.h"
#include "VMassListWidgetItem.h"
#include "initResources.h"

#include <QComboBox>
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
const char *const CratePath = "game/materials/models/crate01.vmt";
// A capital "Materials" is no materials folder.
const char *const PlainPath = "game/Materials/plain.vmt";

} // namespace

class TestMassMaterial : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initResources();
        useMaterialVocabulary();
    }
    void init();
    void cleanup()
    {
        delete m_window;
        delete m_dir;
    }
    void addsAndEditsEveryFileItCan();
    void edits();
    void keepsLineEnds();

private:
    // Lists the files through the Add button.
    void add(const QStringList &relative);
    QString file(const QString &relative) const { return m_dir->filePath(relative); }
    QByteArray read(const QString &relative) const { return readFile(file(relative)); }
    QString log() const { return m_window->progressDialog()->logEdit->toPlainText(); }

    QTemporaryDir *m_dir = nullptr;
    VMass *m_window = nullptr;
};

void TestMassMaterial::init()
{
    m_dir = new QTemporaryDir;
    for (const char *texture :
         {"game/materials/models/crate01.vtf", "game/materials/brick/wall01.vtf", "loose/other.vtf",
          "loose/lonely.vtf"})
        QVERIFY(writeFile(file(texture), "VTF"));
    QVERIFY(writeFile(file(CratePath), Crate));
    QVERIFY(writeFile(file(PlainPath), Plain));
    QVERIFY(writeFile(file("loose/other.vmt"), Plain));
    m_window = new VMass;
}

void TestMassMaterial::add(const QStringList &relative)
{
    ScriptedPrompt script;
    for (const QString &path : relative)
        script.files << (path.startsWith('/') ? path : file(path));
    m_window->addButton->click();
}

void TestMassMaterial::addsAndEditsEveryFileItCan()
{
    QTemporaryDir locked;
    const UnwritableFile stuck(locked.path(), Plain, ".vmt");
    REQUIRE_UNWRITABLE(stuck);
    add({"game/materials/brick/wall01.vtf", "game/materials/models/crate01.vtf", "loose/lonely.vtf",
         "loose/other.vtf", PlainPath, CratePath, stuck.path});

    // A missing material is made for a texture under "materials" only.
    QCOMPARE(read("game/materials/brick/wall01.vmt"),
             QByteArray("\"LightmappedGeneric\"\n{\n\t\"$basetexture\" \"brick/wall01\"\n}\n"));
    QVERIFY(!QFileInfo::exists(file("loose/lonely.vmt")));
    QStringList texts;
    for (int i = 0; i < m_window->fileList->count(); ++i)
        texts << m_window->fileList->item(i)->text();
    QCOMPARE(texts, (QStringList{".../brick/wall01.vmt", ".../models/crate01.vmt",
                                 file("loose/other.vmt"), file(PlainPath), stuck.path}));
    QCOMPARE(log(), QStringLiteral("\"%1\" not under a \"materials\" directory missing matching "
                                   "VMT.\nFile \"%2\" already listed.")
                        .arg(file("loose/lonely.vtf"), file(CratePath)));

    // Every file but those that cannot be read or written is edited; both
    // failures are logged with their reasons and the dialog stays open.
    QVERIFY(QFile::remove(file("loose/other.vmt")));
    m_window->shaderBox->setCurrentText(QStringLiteral("UnlitGeneric"));
    m_window->evaluateButton->click();
    QCOMPARE(readFile(stuck.path), Plain);
    QCOMPARE(read(PlainPath), QByteArray(Plain).replace("LightmappedGeneric", "UnlitGeneric"));
    QCOMPARE(read(CratePath), QByteArray(Crate).replace("VertexLitGeneric", "UnlitGeneric"));
    const QStringList lines = log().split('\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0),
             QStringLiteral("Unable to read from \"%1\"").arg(file("loose/other.vmt")));
    QCOMPARE(lines.at(2), QStringLiteral("Unable to write to \"%1\"").arg(stuck.path));
    QVERIFY(m_window->progressDialog()->isVisible());
    QCOMPARE(m_window->progressDialog()->label->text(), QStringLiteral("Operation complete."));

    // A routine's message is logged; the file keeps its text.
    QVERIFY(writeFile(file("loose/other.vmt"), "no material\n"));
    m_window->evaluateButton->click();
    QVERIFY(log().contains(QStringLiteral("Unable to find suitable shader insertion point.")));
    QCOMPARE(read("loose/other.vmt"), QByteArray("no material\n"));
}

void TestMassMaterial::edits()
{
    add({CratePath, PlainPath});

    // The path below "materials" stands in for "*"; a file without one gets
    // no edit. Or another key's value, taken from above the proxies.
    m_window->parameterBox->setCurrentText(QStringLiteral("$detail"));
    m_window->valueEdit->setText(QStringLiteral("*"));
    m_window->addParameterButton->click();
    QCOMPARE(read(PlainPath), Plain);
    m_window->asteriskBox->setCurrentText(QStringLiteral("$basetexture"));
    m_window->parameterBox->setCurrentText(QStringLiteral("$DETAIL"));
    m_window->valueEdit->setText(QStringLiteral("[*]"));
    m_window->addParameterButton->click();
    // A proxy with the keys the configuration gives it and the values typed
    // into its table.
    m_window->proxyBox->setCurrentIndex(1);
    m_window->keyTable->item(1, 1)->setText(QStringLiteral("12"));
    m_window->addProxyButton->click();
    const QByteArray animated("\t\t\"AnimatedTexture\"\n\t\t{\n\t\t\t\"framevar\" \"\"\n"
                              "\t\t\t\"rate\" \"12\"\n\t\t}\n\t}\n}\n");
    QCOMPARE(read(CratePath),
             "\"VertexLitGeneric\"\n{\n\t$basetexture models/crate01\n\t\"$DETAIL\" "
             "\"[models/crate01]\"\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n"
             "\t\t\t$bumpmap x\n\t\t}\n\n" +
                 animated);
    QCOMPARE(read(PlainPath), "\"LightmappedGeneric\"\n{\n\t\"$BumpMap\" \"old\"\n\t\"$DETAIL\" "
                              "\"[]\"\n\n\t\"Proxies\"\n\t{\n" +
                                  animated);

    // Removal, once agreed: every spelling of a key above the header, none
    // below.
    ScriptedPrompt script;
    m_window->parameterBox->setCurrentText(QStringLiteral("$bumpmap"));
    m_window->valueEdit->clear();
    m_window->removeParameterButton->click();
    QCOMPARE(script.asked.at(0).text,
             QStringLiteral("Remove all parameters of type \"$bumpmap\"?"));
    QCOMPARE(script.asked.at(0).defaultButton, QMessageBox::No);
    QVERIFY(read(PlainPath).contains("\"$BumpMap\""));
    script.buttons[QStringLiteral("Remove")] = QMessageBox::Yes;
    m_window->removeParameterButton->click();
    QVERIFY(!read(PlainPath).contains("\"$BumpMap\""));
    QVERIFY(read(CratePath).contains("$bumpmap x"));

    // The last quoted proxy of a name takes the block with it.
    m_window->proxyBox->setCurrentText(QStringLiteral("animatedtexture"));
    m_window->removeProxyButton->click();
    QCOMPARE(script.asked.last().text,
             QStringLiteral("Remove all proxies of type \"animatedtexture\"?"));
    QCOMPARE(read(PlainPath), QByteArray("\"LightmappedGeneric\"\n{\n\t\"$DETAIL\" \"[]\"\n}\n"));
    QVERIFY(read(CratePath).contains("\t\t\"Sine\""));
}

// The bulk editor writes through the line-end keeping encoder: an unedited
// file stays as it was, new lines end like most lines, the others keep theirs.
void TestMassMaterial::keepsLineEnds()
{
    const QByteArray mac("\"S\"\r{\r\t$basetexture a\r\n\tProxies\r\t{\r\t\tSine\r\t\t{\r\t\t}\r"
                         "\t}\r}\r");
    const char *const macPath = "game/materials/mac.vmt";
    QVERIFY(writeFile(file(macPath), mac));
    add({macPath});
    ScriptedPrompt script;
    script.buttons[QStringLiteral("Remove")] = QMessageBox::Yes;
    m_window->parameterBox->setCurrentText(QStringLiteral("$nothing"));
    m_window->removeParameterButton->click();
    QCOMPARE(read(macPath), mac);
    m_window->proxyBox->setCurrentIndex(1);
    m_window->addProxyButton->click();
    const QByteArray bytes = read(macPath);
    QVERIFY(bytes.contains("\t\tSine\r\t\t{\r\t\t}\r\r\t\t\"AnimatedTexture\"\r\t\t{\r"));
    QVERIFY(bytes.contains("\t$basetexture a\r\n"));
    QCOMPARE(bytes.count('\n'), 1);
}

QTEST_MAIN(TestMassMaterial)
#include "tst_massmaterial.moc"
