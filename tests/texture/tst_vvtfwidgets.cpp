#include "CFileVTF.h"
#include "VVTFImageRangeWidget.h"
#include "VVTFNewImageWidget.h"
#include "VVTFResizeParametersBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

// The parameter widgets of the texture tools, driven as a user would.
class TestVVTFWidgets : public QObject
{
    Q_OBJECT

private slots:
    void resizeBox();
    void imageCount_data();
    void imageCount();
    void refusedFormats();
    void rangeEdits_data();
    void rangeEdits();
    void rangeConstruction();
};

void TestVVTFWidgets::resizeBox()
{
    VVTFResizeParametersBox box;
    QCOMPARE(box.filter(), 12);
    QCOMPARE(box.filterBox->currentText(), QStringLiteral("Mitchell"));
    QCOMPARE(box.resizedWidth(300), 256);
    // A tie goes to the larger power of two.
    QCOMPARE(box.resizedHeight(96), 128);
    box.widthModeBox->setCurrentIndex(3);
    QCOMPARE(box.widthClampLabel->text(), QStringLiteral("Exact Width:"));
    QCOMPARE(box.resizedWidth(300), 4096);
    box.widthModeBox->setCurrentIndex(1);
    QCOMPARE(box.widthClampLabel->text(), QStringLiteral("Clamp Width:"));
    box.heightModeBox->setCurrentIndex(3);
    box.heightClampBox->setCurrentIndex(5);
    QCOMPARE(box.heightClampLabel->text(), QStringLiteral("Exact Height:"));
    QCOMPARE(box.resizedHeight(300), 32);
    QCOMPARE(box.resizedWidth(300), 512);
}

void TestVVTFWidgets::imageCount_data()
{
    QTest::addColumn<int>("count");
    // Group, faces, slices; spheremaps enabled and checked.
    QTest::addColumn<QString>("expected");

    QTest::newRow("1") << 1 << "000 00";
    QTest::newRow("6") << 6 << "110 11";
    QTest::newRow("7") << 7 << "110 10";
    QTest::newRow("8") << 8 << "101 00";
}

void TestVVTFWidgets::imageCount()
{
    QFETCH(int, count);
    QFETCH(QString, expected);

    VVTFNewImageWidget widget;
    widget.setImageCount(quint16(count));
    const auto bit = [](bool b) { return b ? QLatin1Char('1') : QLatin1Char('0'); };
    const QString state =
        QString() + bit(widget.framesAsGroup->isEnabled()) + bit(widget.facesButton->isEnabled()) +
        bit(widget.slicesButton->isEnabled()) + ' ' + bit(widget.spheremapsCheck->isEnabled()) +
        bit(widget.spheremapsCheck->isChecked());
    QCOMPARE(state, expected);
    QCOMPARE(widget.layout(), VVTFRules::ImportLayout::Frames);
}

void TestVVTFWidgets::refusedFormats()
{
    VVTFNewImageWidget widget;
    QCOMPARE(widget.format(), IMAGE_FORMAT_DXT5);
    widget.formatBox->setCurrentIndex(IMAGE_FORMAT_P8);
    QCOMPARE(widget.formatBox->currentIndex(), int(IMAGE_FORMAT_DXT5));
    widget.formatBox->setCurrentIndex(IMAGE_FORMAT_BGR888);
    widget.formatBox->setCurrentIndex(IMAGE_FORMAT_RGBA16161616F);
    QCOMPARE(widget.formatBox->currentIndex(), int(IMAGE_FORMAT_BGR888));
    QCOMPARE(widget.format(), IMAGE_FORMAT_BGR888);

    // Spheremaps follow the "Faces" choice.
    widget.setImageCount(6);
    widget.facesButton->setChecked(true);
    QVERIFY(widget.spheremapsCheck->isEnabled());
    QCOMPARE(widget.layout(), VVTFRules::ImportLayout::Faces);
    widget.framesButton->setChecked(true);
    QVERIFY(!widget.spheremapsCheck->isEnabled());
}

void TestVVTFWidgets::rangeEdits_data()
{
    // The field, the text typed and what the field then shows.
    QTest::addColumn<QString>("edit");

    QTest::newRow("frame above the count") << "frameStartEdit 99 9";
    QTest::newRow("not a number") << "frameEndEdit abc 9";
    QTest::newRow("signed") << "frameStartEdit -1 0";
    QTest::newRow("above 16 bits") << "frameStartEdit 65536 0";
    QTest::newRow("slice without a limit") << "sliceEndEdit 99 99";
    QTest::newRow("face within the count") << "faceEndEdit 3 0";
}

void TestVVTFWidgets::rangeEdits()
{
    QFETCH(QString, edit);
    const QStringList parts = edit.split(QLatin1Char(' '));

    CFileVTF document(16, 16);
    QVERIFY(document.setFrameCount(10));
    VVTFImageRangeWidget widget(&document, 0, 4, 0, 9, 0, 0, 0, 0);
    auto *field = widget.findChild<QLineEdit *>(parts[0]);
    QVERIFY(field);
    field->setText(parts[1]);
    emit field->editingFinished();
    QCOMPARE(field->text(), parts[2]);
    const QMap<QString, int> stored{{"frameStartEdit", widget.frameStart},
                                    {"frameEndEdit", widget.frameEnd},
                                    {"faceEndEdit", widget.faceEnd},
                                    {"sliceEndEdit", widget.sliceEnd}};
    QCOMPARE(QString::number(stored.value(parts[0])), parts[2]);
}

void TestVVTFWidgets::rangeConstruction()
{
    CFileVTF document(8, 8);
    QVERIFY(document.setFrameCount(3));
    // Starts above ends are swapped, and bounds kept within the texture.
    VVTFImageRangeWidget widget(&document, 3, 1, 200, 1, 0, 0, 0, 0);
    QCOMPARE(widget.mipmapStart(), 1);
    QCOMPARE(widget.mipmapEnd(), 3);
    QCOMPARE(widget.mipmapStartBox->itemText(3), QStringLiteral("8 x 8"));
    QCOMPARE(int(widget.frameStart), 1);
    QCOMPARE(int(widget.frameEnd), 2);
    QCOMPARE(widget.frameEndEdit->text(), QStringLiteral("2"));
    QVERIFY(widget.frameStartEdit->isEnabled());
    QVERIFY(!widget.faceStartEdit->isEnabled());
    QVERIFY(!widget.sliceEndEdit->isEnabled());

    widget.hideRangeEnd();
    QVERIFY(widget.mipmapEndBox->isHidden());
    QVERIFY(!widget.frameEndEdit->isEnabled());
    QStringList labels;
    for (QLabel *label : widget.findChildren<QLabel *>())
        labels << label->text();
    QVERIFY(labels.contains(QStringLiteral("Mipmap:")) && !labels.contains("Frame(s):"));
}

QTEST_MAIN(TestVVTFWidgets)
#include "tst_vvtfwidgets.moc"
