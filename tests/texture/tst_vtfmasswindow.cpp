#include "VTFMass.h"
#include "VVTFFixture.h"

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
QComboBox *box(const VTFMass &window, const char *name)
{
    return child<QComboBox>(window, name);
}
} // namespace

class TestVTFMassWindow : public QObject
{
    Q_OBJECT

private slots:
    void formatLists();
    void flagCycle();
    void numberFields();
    void resizeSettings();
    void runCycle_data();
    void runCycle();
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
    // A texture source changes nothing unless asked: resources are kept.
    const VTFMassOptions options = window.options();
    QVERIFY(!options.setVersion && !options.setThumbnailFormat && !options.setImageFormat);
    QVERIFY(options.levelOfDetail.enabled && !options.levelOfDetail.modify &&
            options.levelOfDetail.all);
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
                               quint32(flags->item(row)->background().color().rgb() & 0xFFFFFF)});
    };
    QCOMPARE(click(2), QList<quint32>({0x4, 0, 0xC0FFC0}));
    QCOMPARE(click(2), QList<quint32>({0, 0x4, 0xFFC0C0}));
    QCOMPARE(click(2), QList<quint32>({0, 0, 0xFFFFC0}));
    // The environment-map bit follows the faces: clicks leave it alone.
    QCOMPARE(click(14), QList<quint32>({0, 0, 0xFFFFC0}));
}

void TestVTFMassWindow::numberFields()
{
    VTFMass window;
    const char *edits[][3] = {{"lod0", "300", "255"},
                              {"lod1", "7", "7"},
                              {"lod1", "abc", "7"},
                              {"lod2", "-1", "30"},
                              {"ts0Value", "0xff", "0x000000FF"},
                              {"ts0Value", "ff", "0x000000FF"},
                              {"ts0Value", "0x1A2b3C4d", "0x1A2B3C4D"}};
    for (const auto &edit : edits) {
        type(child<QLineEdit>(window, edit[0]), QString::fromLatin1(edit[1]));
        QCOMPARE(child<QLineEdit>(window, edit[0])->text(), QString::fromLatin1(edit[2]));
    }
    const VTFMassOptions options = window.options();
    QCOMPARE(QList<int>(options.levelOfDetailValues.begin(), options.levelOfDetailValues.end()),
             QList<int>({255, 7, 30, 30}));
    QCOMPARE(options.textureSettingsValue, 0x1A2B3C4Du);
}

void TestVTFMassWindow::resizeSettings()
{
    // The box shows the stored entries; the first dialog is cancelled, the
    // second accepted: only Ok stores what the box shows then.
    VTFMass window;
    QList<int> shown;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        const auto lists = request.dialog->findChildren<QComboBox *>();
        for (QComboBox *list : lists) {
            shown << list->currentIndex();
            list->setCurrentIndex(3);
        }
        CPrompt::Answer answer;
        answer.result = shown.size() > 5 ? QDialog::Accepted : QDialog::Rejected;
        return answer;
    });
    for (int click = 0; click < 3; ++click)
        child<QPushButton>(window, "resize")->click();
    QCOMPARE(shown, QList<int>({11, 0, 12, 0, 12, 11, 0, 12, 0, 12, 3, 3, 3, 3, 3}));
    const VTFMassOptions o = window.options();
    QCOMPARE(
        QList<int>({o.resizeFilter, o.widthMethod, o.widthClamp, o.heightMethod, o.heightClamp}),
        QList<int>({3, 3, 3, 3, 3}));
}

void TestVTFMassWindow::runCycle_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("shown");

    const QStringList none;
    QTest::newRow("nothing to convert") << "x" << false << "Done" << none;
    QTest::newRow("broken texture")
        << ".*" << false << "Done" << QStringList{"Read Error: Unable to read \".../bad.vtf\""};
    QTest::newRow("bad filter") << "[" << false << "Done"
                                << QStringList{"box: Request Error: Name filter is not valid"};
    // "Cancel" is heard between files: the run stops before the next one.
    QTest::newRow("cancel") << ".*" << true << ".../" << none;
}

void TestVTFMassWindow::runCycle()
{
    QFETCH(QString, filter);
    QFETCH(bool, cancel);
    QFETCH(QString, title);
    QFETCH(QStringList, shown);

    QTemporaryDir folder;
    QFile(folder.filePath(QStringLiteral("bad.vtf"))).open(QIODevice::WriteOnly);
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
    if (cancel)
        QTimer::singleShot(0, button, &QPushButton::click);
    button->click();
    // Every run ends with its log kept and the way back open.
    QCOMPARE(child<QGroupBox>(window, "run")->title(), title);
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

int main(int argc, char **argv)
{
    Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);
    QApplication application(argc, argv);
    TestVTFMassWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vtfmasswindow.moc"
