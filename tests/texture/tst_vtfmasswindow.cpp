#include "CPrompt.h"
#include "VTFMass.h"

#include <Magick++.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
template <typename T>
T *child(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no widget %s", name);
    return found;
}

QComboBox *box(QWidget &window, const char *name)
{
    return child<QComboBox>(window, name);
}

void type(QWidget &window, const char *name, const QString &text)
{
    auto *edit = child<QLineEdit>(window, name);
    edit->setText(text);
    emit edit->editingFinished();
}
} // namespace

class TestVTFMassWindow : public QObject
{
    Q_OBJECT

private slots:
    void formatLists();
    void flagCycle();
    void numberFields();
    void versionAndResources();
    void resizeSettings();
    void runCycle_data();
    void runCycle();
    void cancel();
};

void TestVTFMassWindow::formatLists()
{
    VTFMass window;
    // An image source only becomes a texture; anything else needs a texture.
    box(window, "targetFormat")->setCurrentText(QStringLiteral("PNG"));
    QCOMPARE(box(window, "sourceFormat")->currentText(), QStringLiteral("VTF"));
    box(window, "sourceFormat")->setCurrentText(QStringLiteral("JPG"));
    QCOMPARE(box(window, "targetFormat")->currentText(), QStringLiteral("VTF"));
    box(window, "sourceFormat")->setCurrentText(QStringLiteral("TIF"));
    box(window, "targetFormat")->setCurrentText(QStringLiteral("PNG"));
    QCOMPARE(box(window, "sourceFormat")->currentText(), QStringLiteral("VTF"));
    // P8 and RGBA16161616F are refused back to the last entry.
    box(window, "thumbnailFormat")->setCurrentIndex(8);
    QCOMPARE(box(window, "thumbnailFormat")->currentText(), QStringLiteral("DXT1"));
    box(window, "imageFormat")->setCurrentIndex(24);
    QCOMPARE(box(window, "imageFormat")->currentText(), QStringLiteral("DXT5"));
    box(window, "imageFormat")->setCurrentIndex(0);
    box(window, "imageFormat")->setCurrentIndex(7);
    QCOMPARE(window.options().imageFormat, IMAGE_FORMAT_RGBA8888);
}

void TestVTFMassWindow::flagCycle()
{
    VTFMass window;
    auto *flags = child<QListWidget>(window, "flags");
    auto click = [&](int row) {
        emit flags->itemClicked(flags->item(row));
        return QList<quint32>({window.options().flagsToSet, window.options().flagsToClear,
                               quint32(flags->item(row)->background().color().green())});
    };
    QCOMPARE(click(2), QList<quint32>({0x4, 0, 255}));
    QCOMPARE(click(2), QList<quint32>({0, 0x4, 192}));
    QCOMPARE(click(2), QList<quint32>({0, 0, 255}));
    QCOMPARE(flags->item(2)->background().color(), QColor(255, 255, 192));
    // The environment-map bit follows the faces: clicks leave it alone.
    QCOMPARE(click(14), QList<quint32>({0, 0, 255}));
}

void TestVTFMassWindow::numberFields()
{
    VTFMass window;
    const struct
    {
        const char *field;
        const char *text;
        const char *shown;
    } edits[] = {{"lod0", "300", "255"},
                 {"lod1", "7", "7"},
                 {"lod1", "abc", "7"},
                 {"lod2", "-1", "30"},
                 {"ts0Value", "0xff", "0x000000FF"},
                 {"ts0Value", "ff", "0x000000FF"},
                 {"ts0Value", "0x1A2b3C4d", "0x1A2B3C4D"}};
    for (const auto &edit : edits) {
        type(window, edit.field, QString::fromLatin1(edit.text));
        QCOMPARE(child<QLineEdit>(window, edit.field)->text(), QString::fromLatin1(edit.shown));
    }
    const VTFMassOptions options = window.options();
    QCOMPARE(QList<int>(options.levelOfDetailValues.begin(), options.levelOfDetailValues.end()),
             QList<int>({255, 7, 30, 30}));
    QCOMPARE(options.textureSettingsValue, 0x1A2B3C4Du);
}

void TestVTFMassWindow::versionAndResources()
{
    VTFMass window;
    auto *resources = child<QGroupBox>(window, "resources");
    box(window, "sourceFormat")->setCurrentIndex(0);
    // A texture source: every option is an opt-in, resources kept as they are.
    VTFMassOptions options = window.options();
    QVERIFY(!options.setVersion && !options.setThumbnailFormat && !options.setImageFormat);
    QVERIFY(options.levelOfDetail.enabled && !options.levelOfDetail.modify);
    QVERIFY(options.textureSettings.all);
    auto *versionGroup = qobject_cast<QGroupBox *>(box(window, "version")->parentWidget());
    versionGroup->setChecked(true);
    box(window, "version")->setCurrentIndex(2);
    QVERIFY(!resources->isEnabled());
    versionGroup->setChecked(false);
    QVERIFY(resources->isEnabled());
    // An image source: resources added only when asked, by "Modify".
    box(window, "sourceFormat")->setCurrentIndex(1);
    options = window.options();
    QVERIFY(!options.levelOfDetail.enabled && options.levelOfDetail.modify);
}

void TestVTFMassWindow::resizeSettings()
{
    // The box shows the stored entries; only Ok stores what it shows then.
    VTFMass window;
    QList<QList<int>> shown;
    bool accept = false;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        const char *names[] = {"filterBox", "widthModeBox", "widthClampBox", "heightModeBox",
                               "heightClampBox"};
        QList<int> entries;
        for (const char *name : names) {
            auto *list = request.dialog->findChild<QComboBox *>(QString::fromLatin1(name));
            entries << list->currentIndex();
            list->setCurrentIndex(3);
        }
        shown << entries;
        CPrompt::Answer answer;
        answer.result = accept ? QDialog::Accepted : QDialog::Rejected;
        return answer;
    });
    child<QPushButton>(window, "resize")->click();
    accept = true;
    child<QPushButton>(window, "resize")->click();
    child<QPushButton>(window, "resize")->click();
    QCOMPARE(shown, QList<QList<int>>({{11, 0, 12, 0, 12}, {11, 0, 12, 0, 12}, {3, 3, 3, 3, 3}}));
    const VTFMassOptions options = window.options();
    QCOMPARE(QList<int>({options.resizeFilter, options.widthMethod, options.widthClamp,
                         options.heightMethod, options.heightClamp}),
             QList<int>({3, 3, 3, 3, 3}));
}

void TestVTFMassWindow::runCycle_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("empty source") << ".*" << QStringList() << QStringList();
    QTest::newRow("broken texture") << ".*" << QStringList{"bad.vtf"}
                                    << QStringList{"Read Error: Unable to read \".../bad.vtf\""};
    QTest::newRow("bad filter") << "[" << QStringList{"bad.vtf"}
                                << QStringList{"box: Request Error: Name filter is not valid"};
}

void TestVTFMassWindow::runCycle()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, files);
    QFETCH(QStringList, shown);

    QTemporaryDir folder;
    for (const QString &file : files) {
        QFile out(folder.filePath(file));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write("VTF") == 3);
    }
    QStringList boxes;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        boxes << QStringLiteral("box: ") + request.text;
        return CPrompt::Answer();
    });
    VTFMass window;
    box(window, "sourceFormat")->setCurrentIndex(0);
    box(window, "targetFormat")->setCurrentText(QStringLiteral("PNG"));
    child<QComboBox>(window, "filterMode")->setCurrentIndex(VTFMassOptions::RegEx);
    child<QLineEdit>(window, "filter")->setText(filter);
    child<QLineEdit>(window, "source")->setText(folder.path() + QStringLiteral("/./"));
    child<QLineEdit>(window, "target")->setText(folder.filePath(QStringLiteral("out")));

    auto *button = child<QPushButton>(window, "apply");
    button->click();
    // Every run ends "Done", with the log kept and the way back open.
    QCOMPARE(child<QGroupBox>(window, "run")->title(), QStringLiteral("Done"));
    const QString log = child<QPlainTextEdit>(window, "log")->toPlainText();
    QCOMPARE(boxes + (log.isEmpty() ? QStringList() : log.split(QLatin1Char('\n'))), shown);
    QCOMPARE(button->text(), QStringLiteral("Return"));
    QVERIFY(button->isEnabled() && window.stopFlag());
    if (boxes.isEmpty())
        QCOMPARE(child<QLineEdit>(window, "source")->text(), folder.path());
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Apply"));
    QCOMPARE(child<QStackedWidget>(window, "pages")->currentIndex(), int(VTFMass::ImagePage));
    QVERIFY(!window.stopFlag());
}

void TestVTFMassWindow::cancel()
{
    // "Cancel" is heard between files: the run stops before the next one and
    // keeps the title of the last, with the way back open.
    QTemporaryDir folder;
    QFile(folder.filePath(QStringLiteral("bad.vtf"))).open(QIODevice::WriteOnly);
    VTFMass window;
    box(window, "sourceFormat")->setCurrentIndex(0);
    child<QLineEdit>(window, "source")->setText(folder.path());
    child<QLineEdit>(window, "target")->setText(folder.filePath(QStringLiteral("out")));
    auto *button = child<QPushButton>(window, "apply");
    QTimer::singleShot(0, button, &QPushButton::click);
    button->click();
    QCOMPARE(child<QGroupBox>(window, "run")->title(), QStringLiteral(".../"));
    QVERIFY(child<QPlainTextEdit>(window, "log")->toPlainText().isEmpty());
    QCOMPARE(button->text(), QStringLiteral("Return"));
    QVERIFY(button->isEnabled() && window.stopFlag());
    button->click();
    QCOMPARE(child<QStackedWidget>(window, "pages")->currentIndex(), int(VTFMass::TexturePage));
}

int main(int argc, char **argv)
{
    Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);
    QApplication application(argc, argv);
    TestVTFMassWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vtfmasswindow.moc"
